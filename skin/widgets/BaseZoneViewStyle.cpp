#include "skin/widgets/BaseZoneViewStyle.h"

#include "skin/data/SkinMng.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinEngineLog.h"
#include "skin/widgets/SkinFieldClass.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace velmora {

namespace {

constexpr int KStyleElementMargin = 8;

using TStyleClass = TSkinFieldClass<TBaseZoneViewStyle>;

const std::array<TZoneViewImage, KZoneStyleImageCount> KItemImages = {
    zviZoneActive,          zviZoneHover, zviZoneNormal, zviNodeCollapseBackImage,
    zviNodeExpandBackImage, zviNodeHover,
};

} // namespace

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
    view->OnAdjustZoneRect = std::move(FSaved.AdjustZoneRect);
    view->OnBlinkZone = std::move(FSaved.BlinkZone);
    view->OnClickZone = std::move(FSaved.ClickZone);
    view->OnDblClickZone = std::move(FSaved.DblClickZone);
    view->OnClientPopup = std::move(FSaved.ClientPopup);
    view->OnZonePopup = std::move(FSaved.ZonePopup);
    view->OnDrawHead = std::move(FSaved.DrawHead);
    view->OnDrawZone = std::move(FSaved.DrawZone);
    view->OnPrepareDrawZone = std::move(FSaved.PrepareDrawZone);
    view->OnExpandZone = std::move(FSaved.ExpandZone);
    view->OnSelectZone = std::move(FSaved.SelectZone);
    view->OnIdleTimer = std::move(FSaved.IdleTimer);
    // The append handler was taken over too; leaving the style's in place would call into
    // this style after it is gone.
    view->OnAppendDrawZone = std::move(FSaved.AppendDrawZone);
    FSaved = TSavedHandlers{};
    view->RedrawAll();
}

void TBaseZoneViewStyle::Attach(TSkinZoneView* AView) {
    static quint64 serial = 0;
    FZoneView = AView;
    FAttachSerial = ++serial;
    FSaved.AdjustZoneRect = AView->OnAdjustZoneRect;
    FSaved.BlinkZone = AView->OnBlinkZone;
    FSaved.ClickZone = AView->OnClickZone;
    FSaved.DblClickZone = AView->OnDblClickZone;
    FSaved.ClientPopup = AView->OnClientPopup;
    FSaved.ZonePopup = AView->OnZonePopup;
    FSaved.DrawHead = AView->OnDrawHead;
    FSaved.DrawZone = AView->OnDrawZone;
    FSaved.PrepareDrawZone = AView->OnPrepareDrawZone;
    FSaved.AppendDrawZone = AView->OnAppendDrawZone;
    FSaved.ExpandZone = AView->OnExpandZone;
    FSaved.SelectZone = AView->OnSelectZone;
    FSaved.IdleTimer = AView->OnIdleTimer;
    AView->OnAdjustZoneRect = [this](TSkinZoneView* s, TZone* z, TRect& r) {
        DoAdjustZoneRect(s, z, r);
    };
    AView->OnBlinkZone = [this](TSkinZoneView* s, TZone* z, const TRect& r) {
        DoBlinkZone(s, z, r);
    };
    AView->OnClickZone = [this](TSkinZoneView* s, TZone* z, const TRect& r) {
        DoClickZone(s, z, r);
    };
    AView->OnDblClickZone = [this](TSkinZoneView* s, TZone* z, const TRect& r) {
        DoDblClickZone(s, z, r);
    };
    AView->OnClientPopup = [this](TSkinZoneView* s, TZone* z, const TRect& r) {
        DoClientPopup(s, z, r);
    };
    AView->OnZonePopup = [this](TSkinZoneView* s, TZone* z, const TRect& r) {
        DoZonePopup(s, z, r);
    };
    AView->OnDrawHead = [this](TSkinZoneView* s, TGPGraphics& g, const TRect& r) {
        DoDrawHead(s, g, r);
    };
    AView->OnDrawZone = [this](TSkinZoneView* s, TGPGraphics& g, TZone* z, const TRect& r) {
        DoDrawZone(s, g, z, r);
    };
    AView->OnAppendDrawZone = [this](TSkinZoneView* s, TGPGraphics& g, TZone* z, const TRect& r) {
        DoAppendDrawZone(s, g, z, r);
    };
    AView->OnExpandZone = [this](TSkinZoneView* s, TZone* z, const TRect& r, bool e) {
        DoExpandZone(s, z, r, e);
    };
    AView->OnSelectZone = [this](TSkinZoneView* s, TZone* z, const TRect& r, bool e) {
        DoSelectZone(s, z, r, e);
    };
    AView->OnIdleTimer = [this](TSkinZoneView* s) { DoIdleTimer(s); };
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
    if (FSaved.AdjustZoneRect)
        Forward("OnAdjustZoneRect", [&] { FSaved.AdjustZoneRect(ASender, AZone, AZoneRect); });
}

void TBaseZoneViewStyle::DoBlinkZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect) {
    if (FSaved.BlinkZone)
        Forward("OnBlinkZone", [&] { FSaved.BlinkZone(ASender, AZone, AZoneRect); });
}

void TBaseZoneViewStyle::DoClickZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect) {
    const std::weak_ptr<void> alive = AZone != nullptr ? AZone->Alive() : std::weak_ptr<void>();
    if (ASender != nullptr)
        ASender->setFocus(Qt::MouseFocusReason);
    if (AZone != nullptr)
        AZone->SetSelected(true);
    if (FSaved.ClickZone && (AZone == nullptr || !alive.expired()))
        Forward("OnClickZone", [&] { FSaved.ClickZone(ASender, AZone, AZoneRect); });
}

void TBaseZoneViewStyle::DoDblClickZone(TSkinZoneView* ASender, TZone* AZone,
                                        const TRect& AZoneRect) {
    if (FSaved.DblClickZone)
        Forward("OnDblClickZone", [&] { FSaved.DblClickZone(ASender, AZone, AZoneRect); });
}

void TBaseZoneViewStyle::DoClientPopup(TSkinZoneView* ASender, TZone* AZone,
                                       const TRect& AZoneRect) {
    if (FSaved.ClientPopup)
        Forward("OnClientPopup", [&] { FSaved.ClientPopup(ASender, AZone, AZoneRect); });
}

void TBaseZoneViewStyle::DoZonePopup(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect) {
    const std::weak_ptr<void> alive = AZone != nullptr ? AZone->Alive() : std::weak_ptr<void>();
    if (AZone != nullptr)
        AZone->SetSelected(true);
    if (FSaved.ZonePopup && (AZone == nullptr || !alive.expired()))
        Forward("OnZonePopup", [&] { FSaved.ZonePopup(ASender, AZone, AZoneRect); });
}

void TBaseZoneViewStyle::DoDrawHead(TSkinZoneView* ASender, TGPGraphics& AGraphics,
                                    const TRect& ADrawRect) {
    if (FSaved.DrawHead)
        Forward("OnDrawHead", [&] { FSaved.DrawHead(ASender, AGraphics, ADrawRect); });
}

void TBaseZoneViewStyle::DoDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics, TZone* AZone,
                                    const TRect& ADrawRect) {
    if (FSaved.DrawZone)
        Forward("OnDrawZone", [&] { FSaved.DrawZone(ASender, AGraphics, AZone, ADrawRect); });
}

void TBaseZoneViewStyle::DoAppendDrawZone(TSkinZoneView* ASender, TGPGraphics& AGraphics,
                                          TZone* AZone, const TRect& ADrawRect) {
    if (FSaved.AppendDrawZone)
        Forward("OnAppendDrawZone",
                [&] { FSaved.AppendDrawZone(ASender, AGraphics, AZone, ADrawRect); });
}

void TBaseZoneViewStyle::DoExpandZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect,
                                      bool AExpanded) {
    if (FSaved.ExpandZone)
        Forward("OnExpandZone", [&] { FSaved.ExpandZone(ASender, AZone, AZoneRect, AExpanded); });
}

void TBaseZoneViewStyle::DoSelectZone(TSkinZoneView* ASender, TZone* AZone, const TRect& AZoneRect,
                                      bool ASelected) {
    if (FSaved.SelectZone)
        Forward("OnSelectZone", [&] { FSaved.SelectZone(ASender, AZone, AZoneRect, ASelected); });
}

void TBaseZoneViewStyle::DoIdleTimer(TSkinZoneView* ASender) {
    if (FSaved.IdleTimer)
        Forward("OnIdleTimer", [&] { FSaved.IdleTimer(ASender); });
}

} // namespace velmora
