#include "skin/controls/uShadowFrame.h"

#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinTimer.h"

#include <QEvent>
#include <QPainter>

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
} // namespace

TFormShadowFrame::TFormShadowFrame()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

TFormShadowFrame::~TFormShadowFrame() {
    if (FParentForm)
        FParentForm->removeEventFilter(this);
}

void TFormShadowFrame::SetParentForm(QWidget* Value) {
    if (FParentForm == Value)
        return;
    if (FParentForm)
        FParentForm->removeEventFilter(this);
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
    return FParentForm && FParentForm->testAttribute(Qt::WA_WState_Created);
}

void TFormShadowFrame::UpdatePosition() {
    if (FormWindowExists())
        FormPositionChanged();
    else
        hide();
}

void TFormShadowFrame::HideBehindForm() {
    hide();
}

void TFormShadowFrame::FormPositionChanged() {
    if (!FParentForm)
        return;
    const bool maximised = (FParentForm->windowState() & Qt::WindowMaximized) != 0;
    if (!maximised)
        Rebuild();
    const bool showIt = FActive && FormIsNormal() && FParentForm->isVisible();
    PlaceBehindForm(FParentForm->geometry(), showIt);
}

void TFormShadowFrame::PlaceBehindForm(const QRect& geometry, bool showIt) {
    QRect target = ShadowGeometryFor(geometry);
    if (!FBlendBmp.isNull())
        target.setSize(FBlendBmp.size());
    if (target.isValid())
        setGeometry(target);
    if (!showIt || !target.isValid()) {
        hide();
        return;
    }
    if (!isVisible())
        show();
    // Directly behind the form: the shadow goes to the bottom and the form stays above it.
    lower();
}

void TFormShadowFrame::Rebuild() {
    if (!FActive || !FormWindowExists())
        return;
    const QRect wanted = ShadowGeometryFor(QRect(QPoint(0, 0), FParentForm->size()));
    if (!IsAllocatableSize(wanted.width(), wanted.height()))
        return;
    if (FBlendBmp.size() != wanted.size()) {
        FBlendBmp = QImage(wanted.size(), QImage::Format_ARGB32_Premultiplied);
        FNeedRebuildBlend = true;
    }
    if (!FNeedRebuildBlend)
        return;
    FNeedRebuildBlend = false;
    ++FRebuildCount;
    // Fully transparent, as a black fill of a 32-bit picture is to the layered window.
    FBlendBmp.fill(Qt::transparent);
    {
        TGPGraphics graphics(FBlendBmp);
        const int w = FBlendBmp.width();
        const int h = FBlendBmp.height();
        if (FShadowBitmap) {
            TSkinHelper::StretchDrawImageInRectByMargins(
                graphics, FShadowBitmap, TGPRect{0, 0, w, h}, FShadowDrawMargin.Left,
                FShadowDrawMargin.Top, FShadowDrawMargin.Right, FShadowDrawMargin.Bottom,
                smStretchBoth);
        } else if (HasShadowPictures()) {
            const int top = FShadowTopBitmap->Height();
            const int left = FShadowLeftBitmap->Width();
            const int right = FShadowRightBitmap->Width();
            const int bottom = FShadowBottomBitmap->Height();
            const int formHeight = FParentForm->height();
            graphics.DrawImage(*FShadowTopBitmap, QRectF(0, 0, w, top));
            graphics.DrawImage(*FShadowLeftBitmap, QRectF(2, top, left, formHeight));
            graphics.DrawImage(*FShadowRightBitmap, QRectF(w - right, top, right, formHeight));
            graphics.DrawImage(*FShadowBottomBitmap, QRectF(0, h - bottom, w, bottom));
        }
    }
    AdjustBlendMasks(true);
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
    if (!testAttribute(Qt::WA_WState_Created))
        create();
    update();
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

void TFormShadowFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(FShowAlpha / 255.0);
    painter.drawImage(QPoint(0, 0), FBlendBmp);
}

} // namespace velmora
