#pragma once

#include "skin/data/SkinControlClasses.h"
#include "skin/data/SkinZoneViewStyleItem.h"
#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/GDIText.h"
#include "skin/widgets/SkinZoneView.h"

#include <QPointer>
#include <array>
#include <cstddef>
#include <memory>
#include <tuple>

namespace velmora {

// The six zone pictures a style draws with, each with its nine-slice element.
enum TZoneStyleImage : int {
    zsiZoneActive,
    zsiZoneHover,
    zsiZoneNormal,
    zsiNodeCollapseBack,
    zsiNodeExpandBack,
    zsiNodeHover,
};
inline constexpr int KZoneStyleImageCount = 6;

// A non-visual companion of a zone view: it loads a zone view style from the skin (pictures,
// icons, offsets and twelve fonts) and takes over the view's events while attached, passing
// each on to the handler the view had before. Descendants draw by overriding the Do*
// handlers and calling the base to pass the event on.
class TBaseZoneViewStyle {
public:
    static constexpr TSkinControlClassOrder KClassOrder = sccBaseZoneViewStyle;

    TBaseZoneViewStyle();
    virtual ~TBaseZoneViewStyle();
    TBaseZoneViewStyle(const TBaseZoneViewStyle&) = delete;
    TBaseZoneViewStyle& operator=(const TBaseZoneViewStyle&) = delete;

    virtual QString ClassName() const { return QStringLiteral("TBaseZoneViewStyle"); }

    // The style item's name in the skin; empty means "Default".
    const QString& StyleName() const { return FStyleName; }
    void SetStyleName(const QString& Value);
    TSkinZoneView* ZoneView() const { return FZoneView.data(); }
    // Detaches from the current view, giving it back its own handlers, then attaches.
    void SetZoneView(TSkinZoneView* Value);

    const IGPBitmap& Image(TZoneStyleImage AImage) const { return FImages[AImage]; }
    TGDIIMGADV& Element(TZoneStyleImage AImage) const { return *FElements[AImage]; }
    const IGPBitmap& NodeExpandIcon() const { return FNodeExpandIcon; }
    const IGPBitmap& NodeCollapseIcon() const { return FNodeCollapseIcon; }
    const IGPBitmap& HeadActiveFrame() const { return FHeadActiveFrame; }
    const IGPBitmap& HeadNormalFrame() const { return FHeadNormalFrame; }
    int IconXOffset() const { return FIconXOffset; }
    int IconYOffset() const { return FIconYOffset; }
    int NodeFontXOffset() const { return FNodeFontXOffset; }
    int NodeFontYOffset() const { return FNodeFontYOffset; }
    TGDIText& Text(TZoneViewFont AFont) const { return *FTexts[AFont]; }
    // Whether the last load found the style in the skin.
    bool StyleLoaded() const { return FStyleLoaded; }

    // Loads the style again (a new skin); logs when the skin lacks it.
    void ChangeSkinFile();
    static void AllMembersChangeSkinFile();

protected:
    virtual void DoAdjustZoneRect(TSkinZoneView* ASender, TZone* AZone, TRect& AZoneRect);
    virtual void DoBlinkZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect);
    virtual void DoClickZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect);
    virtual void DoDblClickZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect);
    virtual void DoClientPopup(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect);
    virtual void DoZonePopup(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect);
    virtual void DoDrawHead(TSkinZoneView* ASender, TGPGraphics& AGraphics, const TRect& ADrawRect);
    virtual void DoDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics, TZone* AZone,
                            const TRect& ADrawRect);
    virtual void DoPrepareDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics, TZone* AZone,
                                   const TRect& ADrawRect);
    virtual void DoAppendDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics, TZone* AZone,
                                  const TRect& ADrawRect);
    virtual void DoExpandZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect,
                              bool AExpanded);
    virtual void DoSelectZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect,
                              bool ASelected);
    virtual void DoIdleTimer(TSkinZoneView* ASender);

    // Runs a saved handler; its failure is logged with AEventName and goes no further.
    template <typename TCall> void Forward(const char* AEventName, TCall&& ACall);

private:
    // The view's own handlers while the style is attached, in the order of the handler table
    // (BaseZoneViewStyle.cpp). That table alone says which view event each slot is, which Do
    // handler serves it and the name its failures are logged with: saving, installing,
    // forwarding and giving back all walk it, so no event can be handled one way and restored
    // another.
    using TSavedHandlers =
        std::tuple<TZoneAdjustRectEvent, TZoneNotifyEvent, TZoneNotifyEvent, TZoneNotifyEvent,
                   TZoneNotifyEvent, TZoneNotifyEvent, TZoneHeadDrawEvent, TZoneDrawEvent,
                   TZoneDrawEvent, TZoneDrawEvent, TZoneExpandEvent, TZoneSelectEvent,
                   TZoneViewEvent>;

    static constexpr auto HandlerTable();
    // The table slot of a view event (a pointer to the view's event member).
    template <auto AEvent, std::size_t ISlot = 0> static constexpr std::size_t SlotOf();
    // Runs AStep(table entry, saved handler) for every slot.
    template <typename TStep> void EachHandler(TStep&& AStep);
    // What every Do handler ends with: the saved handler of AEvent, if any, runs guarded.
    template <auto AEvent, typename... TArgs> void PassOn(TArgs&&... AArgs);

    void Detach();
    void Attach(TSkinZoneView* AView);
    void LoadStyle();
    void SetImage(TZoneStyleImage AImage, const IGPBitmap& AValue);

    QString FStyleName;
    QPointer<TSkinZoneView> FZoneView;
    // Attachment order: the styles on one view form a stack.
    quint64 FAttachSerial = 0;
    TSavedHandlers FSaved;
    std::array<IGPBitmap, KZoneStyleImageCount> FImages;
    std::array<std::unique_ptr<TGDIIMGADV>, KZoneStyleImageCount> FElements;
    IGPBitmap FNodeExpandIcon;
    IGPBitmap FNodeCollapseIcon;
    IGPBitmap FHeadActiveFrame;
    IGPBitmap FHeadNormalFrame;
    int FIconXOffset = 0;
    int FIconYOffset = 0;
    int FNodeFontXOffset = 20;
    int FNodeFontYOffset = 5;
    bool FStyleLoaded = false;
    std::array<std::unique_ptr<TGDIText>, KZoneViewFontCount> FTexts;
};

// Zone view styles are logged under their style name.
inline QString SkinMemberName(const TBaseZoneViewStyle& AStyle) {
    return AStyle.StyleName();
}

} // namespace velmora
