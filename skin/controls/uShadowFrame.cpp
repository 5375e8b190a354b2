#include "skin/controls/uShadowFrame.h"

#include "platform/graphics/DesktopWindows.h"
#include "skin/controls/ShadowSurface.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinTimer.h"

#include <QEvent>
#include <QWindow>
#include <algorithm>

namespace velmora {

namespace {
constexpr int FadeStep = 70;
constexpr int FadeInterval = 200;

int WidthOf(const IGPBitmap& bitmap) {
    return bitmap ? bitmap->Width() : 0;
}
int HeightOf(const IGPBitmap& bitmap) {
    return bitmap ? bitmap->Height() : 0;
}

// The skin's picture smoothly scaled to ratio; at 1 the very same picture.
IGPBitmap ScaledFor(const IGPBitmap& bitmap, qreal ratio) {
    if (!bitmap || ratio == 1.0)
        return bitmap;
    const QSize size(std::max(1, qRound(bitmap->Width() * ratio)),
                     std::max(1, qRound(bitmap->Height() * ratio)));
    return std::make_shared<TGPBitmap>(
        bitmap->Image().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

TShadowMargins ScaledMargins(const TShadowMargins& margins, qreal ratio) {
    return TShadowMargins{qRound(margins.Left * ratio), qRound(margins.Top * ratio),
                          qRound(margins.Right * ratio), qRound(margins.Bottom * ratio)};
}
} // namespace

TFormShadowFrame::TFormShadowFrame() : FDesktop(TDesktopWindows::Current()) {
    FDesktopListener = FDesktop.AddListener([this] { DesktopChanged(); });
}

TFormShadowFrame::~TFormShadowFrame() {
    FDesktop.RemoveListener(FDesktopListener);
    DropSurface();
    if (FParentForm)
        FParentForm->removeEventFilter(this);
}

void TFormShadowFrame::SetParentForm(QWidget* Value) {
    if (FParentForm == Value)
        return;
    if (FParentForm)
        FParentForm->removeEventFilter(this);
    // The surface belongs to the form it follows.
    DropSurface();
    FParentForm = Value;
    if (FParentForm)
        FParentForm->installEventFilter(this);
    FNeedRebuildBlend = true;
    UpdatePosition();
}

void TFormShadowFrame::SetActive(bool Value) {
    if (FActive == Value)
        return;
    FActive = Value;
    UpdatePosition();
    if (FActive) {
        if (!FShowTimer) {
            FShowTimer = CreateSkinTimer();
            FShowTimer->SetInterval(FadeInterval);
            FShowTimer->OnTimer = [this] { FadeTick(); };
        }
        FShowAlpha = 0;
        FShowTimer->Start();
    } else if (FShowTimer)
        FShowTimer->Stop();
}

#define VELMORA_SHADOW_BITMAP_SETTER(Name)                                                         \
    void TFormShadowFrame::Set##Name(const IGPBitmap& Value) {                                     \
        if (F##Name == Value)                                                                      \
            return;                                                                                \
        F##Name = Value;                                                                           \
        FNeedRebuildBlend = true;                                                                  \
    }
VELMORA_SHADOW_BITMAP_SETTER(ShadowBitmap)
VELMORA_SHADOW_BITMAP_SETTER(ShadowTopBitmap)
VELMORA_SHADOW_BITMAP_SETTER(ShadowLeftBitmap)
VELMORA_SHADOW_BITMAP_SETTER(ShadowRightBitmap)
VELMORA_SHADOW_BITMAP_SETTER(ShadowBottomBitmap)
#undef VELMORA_SHADOW_BITMAP_SETTER

void TFormShadowFrame::SetShadowDrawMargin(const TShadowMargins& Value) {
    if (FShadowDrawMargin == Value)
        return;
    FShadowDrawMargin = Value;
    FNeedRebuildBlend = true;
}

void TFormShadowFrame::SetShadowSizeMargin(const TShadowMargins& Value) {
    if (FShadowSizeMargin == Value)
        return;
    FShadowSizeMargin = Value;
    FNeedRebuildBlend = true;
}

bool TFormShadowFrame::HasShadowPictures() const {
    return FShadowBitmap ||
           (FShadowTopBitmap && FShadowLeftBitmap && FShadowRightBitmap && FShadowBottomBitmap);
}

QRect TFormShadowFrame::ShadowGeometryFor(const QRect& form) const {
    if (FShadowBitmap)
        return QRect(form.x() - FShadowSizeMargin.Left, form.y() - FShadowSizeMargin.Top,
                     form.width() + FShadowSizeMargin.Left + FShadowSizeMargin.Right,
                     form.height() + FShadowSizeMargin.Top + FShadowSizeMargin.Bottom);
    const int left = WidthOf(FShadowLeftBitmap);
    const int top = HeightOf(FShadowTopBitmap);
    return QRect(form.x() - left, form.y() - top, left + form.width() + WidthOf(FShadowRightBitmap),
                 top + form.height() + HeightOf(FShadowBottomBitmap));
}

bool TFormShadowFrame::FormIsNormal() const {
    return FParentForm && (FParentForm->windowState() &
                           (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
}

bool TFormShadowFrame::FormWindowExists() const {
    return FParentForm && FParentForm->testAttribute(Qt::WA_WState_Created) &&
           FParentForm->windowHandle() != nullptr;
}

bool TFormShadowFrame::IsShown() const {
    return FSurface && FSurface->isVisible();
}

// --- the surface -------------------------------------------------------------------------------

bool TFormShadowFrame::SurfaceWanted() const {
    return FActive && FormWindowExists() && FDesktop.CanShowCompanionWindows();
}

void TFormShadowFrame::SyncSurface() {
    if (!SurfaceWanted()) {
        DropSurface();
        return;
    }
    if (FSurface)
        return;
    QWindow& form = *FParentForm->windowHandle();
    FSurface = std::make_unique<TShadowSurface>(&form);
    // The picture is drawn for the surface's screen.
    FNeedRebuildBlend = true;
    FFrameWatch =
        FDesktop.WatchFrame(form, TFrameWatchEvents{[this](const QPoint& at) { FollowFrame(at); },
                                                    [this](bool mapped) { FrameMapped(mapped); }});
    FFrameWatch->Accompany(*FSurface);
}

void TFormShadowFrame::DropSurface() {
    FFrameWatch.reset();
    FSurface.reset();
}

void TFormShadowFrame::DesktopChanged() {
    // A compositing manager started or stopped: the surface comes or goes with it.
    UpdatePosition();
}

void TFormShadowFrame::FollowFrame(const QPoint& formTopLeft) {
    // A window manager moving the form interactively tells the form only when it lets go.
    if (!FSurface || !FSurface->isVisible() || !FormIsNormal())
        return;
    QRect target = ShadowGeometryFor(QRect(formTopLeft, FParentForm->size()));
    if (!FBlendBmp.isNull())
        target.setSize(FBlendBmp.deviceIndependentSize().toSize());
    FGeometry = target;
    FSurface->setGeometry(target);
    // The frame reports its restacking the same way: the shadow goes back below it.
    FFrameWatch->KeepBelow(*FSurface);
}

void TFormShadowFrame::FrameMapped(bool mapped) {
    if (mapped)
        FormPositionChanged();
    else
        HideBehindForm();
}

// --- placement ---------------------------------------------------------------------------------

void TFormShadowFrame::UpdatePosition() {
    SyncSurface();
    if (FormWindowExists())
        FormPositionChanged();
    else
        HideBehindForm();
}

void TFormShadowFrame::HideBehindForm() {
    if (FSurface)
        FSurface->hide();
}

void TFormShadowFrame::FormPositionChanged() {
    if (!FParentForm)
        return;
    SyncSurface();
    const bool maximised = (FParentForm->windowState() & Qt::WindowMaximized) != 0;
    if (!maximised)
        Rebuild();
    const bool showIt = FActive && FormIsNormal() && FParentForm->isVisible();
    PlaceBehindForm(FParentForm->geometry(), showIt);
}

void TFormShadowFrame::PlaceBehindForm(const QRect& geometry, bool showIt) {
    QRect target = ShadowGeometryFor(geometry);
    if (!FBlendBmp.isNull())
        target.setSize(FBlendBmp.deviceIndependentSize().toSize());
    if (target.isValid())
        FGeometry = target;
    if (!FSurface)
        return;
    if (target.isValid())
        FSurface->setGeometry(target);
    if (!showIt || !target.isValid()) {
        FSurface->hide();
        return;
    }
    // Directly behind the form, before it is mapped, so it never shows above the form even
    // for a moment.
    FFrameWatch->KeepBelow(*FSurface);
    if (!FSurface->isVisible()) {
        FSurface->SetPicture(FBlendBmp, FShowAlpha);
        FSurface->show();
        FFrameWatch->KeepBelow(*FSurface);
    }
}

void TFormShadowFrame::Rebuild() {
    if (!FActive || !FormWindowExists())
        return;
    // Drawn for the screen the picture is shown on, so it stays sharp at any scale.
    const qreal ratio = FSurface ? FSurface->devicePixelRatio() : FParentForm->devicePixelRatioF();
    const QSize size = ShadowGeometryFor(QRect(QPoint(0, 0), FParentForm->size())).size();
    const QSize pixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
    if (!IsAllocatableSize(pixels.width(), pixels.height()))
        return;
    if (FBlendBmp.size() != pixels || FBlendBmp.devicePixelRatio() != ratio)
        FNeedRebuildBlend = true;
    if (!FNeedRebuildBlend)
        return;
    FNeedRebuildBlend = false;
    ++FRebuildCount;
    FBlendBmp = DrawShadowPicture(*this, FParentForm->size(), ratio);
    AdjustBlendMasks(true);
}

QImage DrawShadowPicture(const TFormShadowFrame& shadow, const QSize& formSize, qreal ratio) {
    const QSize size = shadow.ShadowGeometryFor(QRect(QPoint(0, 0), formSize)).size();
    const QSize pixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
    if (pixels.isEmpty() || !IsAllocatableSize(pixels.width(), pixels.height()))
        return QImage();
    QImage picture(pixels, QImage::Format_ARGB32_Premultiplied);
    // Fully transparent, as a black fill of a 32-bit picture is to the layered window.
    picture.fill(Qt::transparent);
    // Drawn in device pixels from pictures scaled smoothly to the ratio first, so corners and
    // strips are not blown up pixel by pixel.
    {
        TGPGraphics graphics(picture);
        const int w = picture.width();
        const int h = picture.height();
        if (shadow.ShadowBitmap()) {
            const TShadowMargins m = ScaledMargins(shadow.ShadowDrawMargin(), ratio);
            TSkinHelper::StretchDrawImageInRectByMargins(
                graphics, ScaledFor(shadow.ShadowBitmap(), ratio), TGPRect{0, 0, w, h}, m.Left,
                m.Top, m.Right, m.Bottom, smStretchBoth);
        } else if (shadow.HasShadowPictures()) {
            const IGPBitmap topStrip = ScaledFor(shadow.ShadowTopBitmap(), ratio);
            const IGPBitmap leftStrip = ScaledFor(shadow.ShadowLeftBitmap(), ratio);
            const IGPBitmap rightStrip = ScaledFor(shadow.ShadowRightBitmap(), ratio);
            const IGPBitmap bottomStrip = ScaledFor(shadow.ShadowBottomBitmap(), ratio);
            const int top = topStrip->Height();
            const int left = leftStrip->Width();
            const int right = rightStrip->Width();
            const int bottom = bottomStrip->Height();
            const int formHeight = qRound(formSize.height() * ratio);
            const int inset = qRound(2 * ratio);
            graphics.DrawImage(*topStrip, QRectF(0, 0, w, top));
            graphics.DrawImage(*leftStrip, QRectF(inset, top, left, formHeight));
            graphics.DrawImage(*rightStrip, QRectF(w - right, top, right, formHeight));
            graphics.DrawImage(*bottomStrip, QRectF(0, h - bottom, w, bottom));
        }
    }
    picture.setDevicePixelRatio(ratio);
    return picture;
}

void TFormShadowFrame::FadeTick() {
    FShowAlpha += FadeStep;
    if (FShowAlpha >= 256) {
        FShowAlpha = 255;
        FShowTimer->Stop();
    }
    Rebuild();
    AdjustBlendMasks(false);
}

void TFormShadowFrame::AdjustBlendMasks(bool) {
    if (FSurface)
        FSurface->SetPicture(FBlendBmp, FShowAlpha);
}

bool TFormShadowFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FParentForm)
        return false;
    switch (event->type()) {
    case QEvent::WindowStateChange:
        if (!FormIsNormal())
            HideBehindForm();
        FormPositionChanged();
        break;
    case QEvent::Hide:
        HideBehindForm();
        break;
    case QEvent::WinIdChange:
        // The form's platform window was made anew: the surface and the watch follow the new
        // one.
        DropSurface();
        UpdatePosition();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        FormPositionChanged();
        break;
    default:
        break;
    }
    return false;
}

} // namespace velmora
