#include "skin/widgets/BaseZoneViewStyle.h"

#include "skin/data/SkinMng.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinEngineLog.h"
#include "skin/widgets/SkinFieldClass.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace velmora {

namespace {

constexpr int KStyleElementMargin = 8;

using TStyleClass = TSkinFieldClass<TBaseZoneViewStyle>;

const std::array<TZoneViewImage, KZoneStyleImageCount> KItemImages = {
    zviZoneActive,          zviZoneHover, zviZoneNormal, zviNodeCollapseBackImage,
    zviNodeExpandBackImage, zviNodeHover,
};

// One row of the handler table: the view's event, the style's handler for it and the name a
// failure of the view's own handler is logged with.
template <typename TEvent, typename TDo> struct THandlerEntry {
    using TEventType = TEvent;
    TEvent TSkinZoneView::*Event;
    TDo Do;
    const char* Name;
};

template <typename TEvent, typename TDo>
constexpr THandlerEntry<TEvent, TDo> Entry(TEvent TSkinZoneView::*AEvent, TDo ADo,
                                           const char* AName) {
    return {AEvent, ADo, AName};
}

// The style's handler as it sits on a view. It is recognisable, so detaching can tell it
// from a handler the program set on the view since.
template <typename TDo> struct TStyleHandler {
    TBaseZoneViewStyle* Style;
    TDo Do;
    template <typename... TArgs> void operator()(TArgs&&... AArgs) const {
        (Style->*Do)(std::forward<TArgs>(AArgs)...);
    }
};

template <typename TEvent, typename TDo>
bool IsStyleHandler(const TEvent& AHandler, TDo, const TBaseZoneViewStyle* AStyle) {
    const auto* own = AHandler.template target<TStyleHandler<TDo>>();
    return own != nullptr && own->Style == AStyle;
}

template <auto AEvent, typename TEvent> constexpr bool IsEvent(TEvent TSkinZoneView::*AOther) {
    if constexpr (std::is_same_v<decltype(AEvent), TEvent TSkinZoneView::*>)
        return AEvent == AOther;
    else
        return false;
}

} // namespace

constexpr auto TBaseZoneViewStyle::HandlerTable() {
    using S = TBaseZoneViewStyle;
    using V = TSkinZoneView;
    return std::make_tuple(Entry(&V::OnAdjustZoneRect, &S::DoAdjustZoneRect, "OnAdjustZoneRect"),
                           Entry(&V::OnBlinkZone, &S::DoBlinkZone, "OnBlinkZone"),
                           Entry(&V::OnClickZone, &S::DoClickZone, "OnClickZone"),
                           Entry(&V::OnDblClickZone, &S::DoDblClickZone, "OnDblClickZone"),
                           Entry(&V::OnClientPopup, &S::DoClientPopup, "OnClientPopup"),
                           Entry(&V::OnZonePopup, &S::DoZonePopup, "OnZonePopup"),
                           Entry(&V::OnDrawHead, &S::DoDrawHead, "OnDrawHead"),
                           Entry(&V::OnDrawZone, &S::DoDrawZone, "OnDrawZone"),
                           Entry(&V::OnPrepareDrawZone, &S::DoPrepareDrawZone, "OnPrepareDrawZone"),
                           Entry(&V::OnAppendDrawZone, &S::DoAppendDrawZone, "OnAppendDrawZone"),
                           Entry(&V::OnExpandZone, &S::DoExpandZone, "OnExpandZone"),
                           Entry(&V::OnSelectZone, &S::DoSelectZone, "OnSelectZone"),
                           Entry(&V::OnIdleTimer, &S::DoIdleTimer, "OnIdleTimer"));
}

template <auto AEvent, std::size_t ISlot> constexpr std::size_t TBaseZoneViewStyle::SlotOf() {
    constexpr auto table = HandlerTable();
    static_assert(ISlot < std::tuple_size_v<decltype(table)>,
                  "the style does not take this event over");
    if constexpr (IsEvent<AEvent>(std::get<ISlot>(table).Event))
        return ISlot;
    else
        return SlotOf<AEvent, ISlot + 1>();
}

template <typename TStep> void TBaseZoneViewStyle::EachHandler(TStep&& AStep) {
    static constexpr auto table = HandlerTable();
    using TTable = std::remove_const_t<decltype(table)>;
    [&]<std::size_t... ISlot>(std::index_sequence<ISlot...>) {
        static_assert(sizeof...(ISlot) == std::tuple_size_v<TSavedHandlers>,
                      "one saved handler per table row");
        static_assert((std::is_same_v<typename std::tuple_element_t<ISlot, TTable>::TEventType,
                                      std::tuple_element_t<ISlot, TSavedHandlers>> &&
                       ...),
                      "each saved handler has its row's event type");
        (AStep(std::get<ISlot>(table), std::get<ISlot>(FSaved)), ...);
    }
    (std::make_index_sequence<std::tuple_size_v<TTable>>{});
}

template <auto AEvent, typename... TArgs> void TBaseZoneViewStyle::PassOn(TArgs&&... AArgs) {
    constexpr std::size_t slot = SlotOf<AEvent>();
    auto& saved = std::get<slot>(FSaved);
    if (saved)
        Forward(std::get<slot>(HandlerTable()).Name, [&] { saved(AArgs...); });
}

TBaseZoneViewStyle::TBaseZoneViewStyle() {
    for (auto& element : FElements)
        element = std::make_unique<TGDIIMGADV>();
    for (auto& text : FTexts)
        text = std::make_unique<TGDIText>();
    TStyleClass::Add(this);
    LoadStyle();
}

TBaseZoneViewStyle::~TBaseZoneViewStyle() {
    TStyleClass::Remove(this);
    // The view must not keep handlers that call into a freed style.
    Detach();
}

void TBaseZoneViewStyle::AllMembersChangeSkinFile() {
    TStyleClass::AllMembersChangeSkinFile();
}

void TBaseZoneViewStyle::SetStyleName(const QString& Value) {
    if (FStyleName == Value)
        return;
    FStyleName = Value;
    ChangeSkinFile();
}

void TBaseZoneViewStyle::ChangeSkinFile() {
    LoadStyle();
    if (FZoneView)
        FZoneView->RedrawAll();
}

void TBaseZoneViewStyle::SetImage(TZoneStyleImage AImage, const IGPBitmap& AValue) {
    if (FImages[AImage] == AValue)
        return;
    FImages[AImage] = AValue;
    TSkinHelper::InitGdiImgAdv(FElements[AImage].get(), AValue, KStyleElementMargin,
                               KStyleElementMargin);
}

void TBaseZoneViewStyle::LoadStyle() {
    if (!SkinMng().Loaded())
        return;
    const QString name = FStyleName.isEmpty() ? QStringLiteral("Default") : FStyleName;
    const TSkinZoneViewStyleItem* item = SkinMng().SkinZoneViewStyles().GetItem(name);
    FStyleLoaded = item != nullptr;
    if (item == nullptr) {
        const std::invalid_argument error(("Zone view style not found: " + name).toStdString());
        LogSkinFailure(ClassName(), &name, &error, QStringLiteral("ChangeSkinFile"));
        return;
    }
    FNodeExpandIcon = item->Image(zviNodeExpandIcon);
    FNodeCollapseIcon = item->Image(zviNodeCollapseIcon);
    FIconXOffset = item->IconXOffset();
    FIconYOffset = item->IconYOffset();
    for (int i = 0; i < KZoneStyleImageCount; ++i)
        SetImage(static_cast<TZoneStyleImage>(i), item->Image(KItemImages[i]));
    FHeadActiveFrame = item->Image(zviHeadActiveFrame);
    FHeadNormalFrame = item->Image(zviHeadNomalFrame);
    FNodeFontXOffset = item->NodeFontXOffset();
    FNodeFontYOffset = item->NodeFontYOffset();
    for (int i = 0; i < KZoneViewFontCount; ++i) {
        const TFrameworkFont& font = item->Font(static_cast<TZoneViewFont>(i));
        TGDIText& text = *FTexts[i];
        text.SetFontFamilyName(font.Name);
        text.SetFontSize(font.Size);
        text.SetFont(font);
    }
}

// ---- attaching ------------------------------------------------------------------------------

void TBaseZoneViewStyle::SetZoneView(TSkinZoneView* Value) {
    if (FZoneView == Value)
        return;
    Detach();
    if (Value != nullptr)
        Attach(Value);
}

void TBaseZoneViewStyle::Detach() {
    TSkinZoneView* view = FZoneView.data();
    FZoneView = nullptr;
    if (view == nullptr) {
        FSaved = TSavedHandlers{};
        return;
    }
    // Styles stack on a view: each passes events on to the handlers it found. A style taken
    // out from under another hands its saved handlers to that one, so the view never calls
    // into a style that is gone.
    TBaseZoneViewStyle* above = nullptr;
    for (TBaseZoneViewStyle* other : TStyleClass::Members())
        if (other != this && other->FZoneView.data() == view &&
            other->FAttachSerial > FAttachSerial &&
            (above == nullptr || other->FAttachSerial < above->FAttachSerial))
            above = other;
    if (above != nullptr) {
        above->FSaved = std::move(FSaved);
        FSaved = TSavedHandlers{};
        return;
    }
    EachHandler([this, view](const auto& AEntry, auto& ASaved) {
        auto& handler = view->*AEntry.Event;
        // A handler the program put on the view while the style was attached stays there:
        // writing back the one saved before would lose it.
        if (IsStyleHandler(handler, AEntry.Do, this))
            handler = std::move(ASaved);
        ASaved = nullptr;
    });
    view->RedrawAll();
}

void TBaseZoneViewStyle::Attach(TSkinZoneView* AView) {
    static quint64 serial = 0;
    FZoneView = AView;
    FAttachSerial = ++serial;
    EachHandler([this, AView](const auto& AEntry, auto& ASaved) {
        auto& handler = AView->*AEntry.Event;
        ASaved = std::move(handler);
        handler = TStyleHandler<decltype(AEntry.Do)>{this, AEntry.Do};
    });
    AView->RedrawAll();
}

// ---- forwarding -----------------------------------------------------------------------------

template <typename TCall> void TBaseZoneViewStyle::Forward(const char* AEventName, TCall&& ACall) {
    try {
        ACall();
    } catch (const std::exception& error) {
        const QString name = FStyleName;
        LogSkinFailure(ClassName(), &name, &error, QString::fromLatin1(AEventName));
    }
}

void TBaseZoneViewStyle::DoAdjustZoneRect(TSkinZoneView* ASender, TZone* AZone, TRect& AZoneRect) {
    PassOn<&TSkinZoneView::OnAdjustZoneRect>(ASender, AZone, AZoneRect);
}

void TBaseZoneViewStyle::DoBlinkZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect) {
    PassOn<&TSkinZoneView::OnBlinkZone>(ASender, AZone, AZoneRect);
}

void TBaseZoneViewStyle::DoClickZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect) {
    const std::weak_ptr<void> alive = AZone != nullptr ? AZone->Alive() : std::weak_ptr<void>();
    if (ASender != nullptr)
        ASender->setFocus(Qt::MouseFocusReason);
    if (AZone != nullptr)
        AZone->SetSelected(true);
    if (AZone == nullptr || !alive.expired())
        PassOn<&TSkinZoneView::OnClickZone>(ASender, AZone, AZoneRect);
}

void TBaseZoneViewStyle::DoDblClickZone(TSkinZoneView* ASender, TZone* AZone,
                                        const TRect& AZoneRect) {
    PassOn<&TSkinZoneView::OnDblClickZone>(ASender, AZone, AZoneRect);
}

void TBaseZoneViewStyle::DoClientPopup(TSkinZoneView* ASender, TZone* AZone,
                                       const TRect& AZoneRect) {
    PassOn<&TSkinZoneView::OnClientPopup>(ASender, AZone, AZoneRect);
}

void TBaseZoneViewStyle::DoZonePopup(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect) {
    const std::weak_ptr<void> alive = AZone != nullptr ? AZone->Alive() : std::weak_ptr<void>();
    if (AZone != nullptr)
        AZone->SetSelected(true);
    if (AZone == nullptr || !alive.expired())
        PassOn<&TSkinZoneView::OnZonePopup>(ASender, AZone, AZoneRect);
}

void TBaseZoneViewStyle::DoDrawHead(TSkinZoneView* ASender, TGPGraphics& AGraphics,
                                    const TRect& ADrawRect) {
    PassOn<&TSkinZoneView::OnDrawHead>(ASender, AGraphics, ADrawRect);
}

void TBaseZoneViewStyle::DoDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics, TZone* AZone,
                                    const TRect& ADrawRect) {
    PassOn<&TSkinZoneView::OnDrawZone>(ASender, AGraphics, AZone, ADrawRect);
}

void TBaseZoneViewStyle::DoPrepareDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics,
                                           TZone* AZone, const TRect& ADrawRect) {
    PassOn<&TSkinZoneView::OnPrepareDrawZone>(ASender, AGraphics, AZone, ADrawRect);
}

void TBaseZoneViewStyle::DoAppendDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics,
                                          TZone* AZone, const TRect& ADrawRect) {
    PassOn<&TSkinZoneView::OnAppendDrawZone>(ASender, AGraphics, AZone, ADrawRect);
}

void TBaseZoneViewStyle::DoExpandZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect,
                                      bool AExpanded) {
    PassOn<&TSkinZoneView::OnExpandZone>(ASender, AZone, AZoneRect, AExpanded);
}

void TBaseZoneViewStyle::DoSelectZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect,
                                      bool ASelected) {
    PassOn<&TSkinZoneView::OnSelectZone>(ASender, AZone, AZoneRect, ASelected);
}

void TBaseZoneViewStyle::DoIdleTimer(TSkinZoneView* ASender) {
    PassOn<&TSkinZoneView::OnIdleTimer>(ASender);
}

} // namespace velmora
