#pragma once

#include "skin/drawing/SkinTypes.h"

#include <QString>
#include <memory>

namespace velmora {

class IZoneViewLink;
class TSkinZoneView;
class TZoneList;
class TZoneLayout;

// One block of a zone view: a rectangle in the view's single column that may hold child zones
// shown below it while it is expanded. The view decides when a zone must be redrawn; what it
// looks like is entirely up to the drawing events.
class TZone {
public:
    // Zones are made by a TZoneList (its Add or Insert), or by a descendant's code and handed
    // to one with TZoneList::AddZone; the list owns them from then on.
    TZone();
    virtual ~TZone();
    TZone(const TZone&) = delete;
    TZone& operator=(const TZone&) = delete;

    const QString& ZoneName() const { return FZoneName; }
    void SetZoneName(const QString& Value);
    int Level() const { return FLevel; }
    void SetLevel(int Value);
    // Sizes in pixels; values of 0 or below are ignored.
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);

    // Whether the last layout placed the zone (it is top level or its owner is expanded).
    bool Visible() const;
    bool Selected() const { return FSelected; }
    void SetSelected(bool Value);
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    bool MouseOver() const { return FMouseOver; }
    void SetMouseOver(bool Value);
    bool MouseDown() const { return FMouseDown; }
    void SetMouseDown(bool Value);
    bool Blinking() const { return FBlinking; }
    void SetBlinking(bool Value);
    bool BlinkRedraw() const { return FBlinkRedraw; }
    void SetBlinkRedraw(bool Value);
    int BlinkFlag() const { return FBlinkFlag; }
    void SetBlinkFlag(int Value);
    TGPColor FlashCaptionColor() const { return FCaptionColor; }
    void SetFlashCaptionColor(TGPColor Value);

    TZoneList& ChildZones() { return *FChildZones; }
    const TZoneList& ChildZones() const { return *FChildZones; }
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    qintptr Tag() const { return FTag; }
    void SetTag(qintptr Value) { FTag = Value; }
    TSkinZoneView* ZoneView() const;
    TZone* ParentZone() const { return FParentZone; }

    // Content coordinates of the last layout, and control coordinates at the last paint.
    const TRect& DisplayRect() const { return FDisplayRect; }
    const TRect& DrawRect() const { return FDrawRect; }
    // The zone's place among the laid-out zones, -1 when the last layout did not place it.
    int DisplayIndex() const;

    // The size a drawer needs; a draw rectangle smaller than this forces a redraw.
    int NeedDisplayWidth() const { return FNeedDisplayWidth; }
    void SetNeedDisplayWidth(int Value) { FNeedDisplayWidth = Value; }
    int NeedDisplayHeight() const { return FNeedDisplayHeight; }
    void SetNeedDisplayHeight(int Value) { FNeedDisplayHeight = Value; }

    // True while the zone must be redrawn at the next paint.
    bool DispalyChanged() const { return FDispalyChanged; }
    void SetDispalyChanged(bool Value) { FDispalyChanged = Value; }
    // Free for the drawer: where it drew the zone's head.
    const TRect& HeadRect() const { return FHeadRect; }
    void SetHeadRect(const TRect& Value) { FHeadRect = Value; }

    // Expires when the zone is freed: code that raises events checks it afterwards, since a
    // handler may delete the very zone it was told about.
    std::weak_ptr<void> Alive() const { return FAlive; }

protected:
    QString FZoneName;
    int FLevel = 0;
    int FWidth = 200;
    int FHeight = 60;
    bool FSelected = false;
    bool FExpanded = false;
    bool FMouseOver = false;
    bool FMouseDown = false;
    void* FData = nullptr;
    qintptr FTag = 0;
    bool FBlinking = false;
    bool FBlinkRedraw = false;
    int FBlinkFlag = 0;
    TGPColor FCaptionColor = 0xFFFFFFFF;
    bool FDispalyChanged = true;
    TRect FHeadRect;
    int FNeedDisplayWidth = 0;
    int FNeedDisplayHeight = 0;

private:
    friend class TZoneList;
    friend class TZoneLayout;
    friend class TSkinZoneView;

    // Sets the view and owner of this zone and of its whole subtree.
    void Attach(IZoneViewLink* AView, TZone* AParentZone);
    // Marks the zone changed; with ARepaint the view redraws, with ARelayout it lays out again.
    void Changed(bool ARepaint, bool ARelayout);

    std::unique_ptr<TZoneList> FChildZones;
    IZoneViewLink* FView = nullptr;
    TZone* FParentZone = nullptr;
    TRect FDisplayRect;
    TRect FDrawRect;
    // The layout pass that last placed the zone; its place is stale for any other pass, so a
    // zone left out of a later layout never needs its flags reset one by one.
    quint64 FLayoutPass = 0;
    int FDisplayIndex = -1;
    std::shared_ptr<char> FAlive = std::make_shared<char>(0);
};

} // namespace velmora
