#include "skin/controls/BaseSkinForm.h"

#include "platform/graphics/DesktopWindows.h"
#include "skin/controls/FormBackGround.h"
#include "skin/controls/LayoutHold.h"
#include "skin/controls/SkinClassRegistry.h"
#include "skin/data/SkinBackGroundItems.h"
#include "skin/data/SkinChangeEvent.h"
#include "skin/data/SkinFormStyleItem.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinEngineLog.h"
#include "skin/drawing/SkinTimer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWindow>
#include <algorithm>

namespace velmora {

namespace {
constexpr int FadeInterval = 200;
constexpr int RoundCornerEllipse = 6;

std::vector<TBaseSkinForm*>& Forms() {
    static std::vector<TBaseSkinForm*> forms;
    return forms;
}
} // namespace

TBaseSkinForm::TBaseSkinForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    EnsureSkinClassesRegistered();
    Forms().push_back(this);
    setWindowFlag(Qt::FramelessWindowHint);
    // The form paints every pixel from its buffer; there is no erase step.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    try {
        FShadowFrame = std::make_unique<TFormShadowFrame>();
        FMinButtonToClose = false;
        ApplyContentsMargins();
        ChangeSkinFile();
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("Create"));
    }
}

TBaseSkinForm::~TBaseSkinForm() {
    try {
        auto& forms = Forms();
        forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
        SetListening(false);
        if (FShadowFrame)
            FShadowFrame->SetParentForm(nullptr);
        FShadowFrame.reset();
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("Destroy"));
    }
}

const std::vector<TBaseSkinForm*>& TBaseSkinForm::FormList() {
    return Forms();
}

void TBaseSkinForm::LogFailure(const std::exception& error, const QString& tag) const {
    const QString name = objectName();
    LogSkinFailure(ClassName(), &name, &error, tag);
}

// --- properties ------------------------------------------------------------------------------

void TBaseSkinForm::SetShowInTaskBar(bool Value) {
    if (FShowInTaskBar == Value)
        return;
    FShowInTaskBar = Value;
    // A tool window is the platform's way of staying out of the task bar; changing the
    // flag of a live window hides it, so it is shown again.
    const bool visible = isVisible();
    setWindowFlag(Qt::Tool, !Value);
    if (visible)
        show();
}

void TBaseSkinForm::SetIsDrawCaption(bool Value) {
    if (FIsDrawCaption == Value)
        return;
    FIsDrawCaption = Value;
    RedrawWindow(true, false);
}

void TBaseSkinForm::SetIsRoundRectWindow(bool Value) {
    if (FIsRoundRectWindow == Value)
        return;
    FIsRoundRectWindow = Value;
    UpdateWindowRegion(true);
}

void TBaseSkinForm::SetReSizeNotAlignControls(bool Value) {
    if (FReSizeNotAlignControls == Value)
        return;
    FReSizeNotAlignControls = Value;
    SetLayoutHeld(*this, Value);
}

void TBaseSkinForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    ApplyContentsMargins();
}

void TBaseSkinForm::SetBorderIcons(TBorderIcons Value) {
    FBorderIcons = Value;
}

void TBaseSkinForm::SetTitleHeight(int Value) {
    if (FTitleHeight == Value)
        return;
    FTitleHeight = Value;
    ApplyContentsMargins();
    RedrawWindow(true, false);
}

TRect TBaseSkinForm::ClientLayoutRect() const {
    if (FBorderStyle == bsNone)
        return WindowRect();
    return TRect{FBorderLeftWidth, FBorderTopHeight + FTitleHeight, width() - FBorderRightWidth,
                 height() - FBorderBottomHeight};
}

void TBaseSkinForm::ApplyContentsMargins() {
    if (FBorderStyle == bsNone)
        setContentsMargins(0, 0, 0, 0);
    else
        setContentsMargins(FBorderLeftWidth, FBorderTopHeight + FTitleHeight, FBorderRightWidth,
                           FBorderBottomHeight);
}

int TBaseSkinForm::HitTestAt(const QPoint& clientPos) const {
    try {
        return SkinFormHitTest(clientPos.x(), clientPos.y(), width(), height(), FBorderStyle);
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("WMNCHitTest"));
        return HTCLIENT;
    }
}

// --- skin ------------------------------------------------------------------------------------

void TBaseSkinForm::LoadFormStyle() {
    FFormStyleItem = SkinMng().SkinFormStyles().FormStyleItem();
}

void TBaseSkinForm::ApplyFormStyle() {
    SelectBackGround();
    ChangeSkinBackGroundItem(SkinMng().UserSkinConfig().AppUsedSkinItem());
    if (FFormStyleItem != nullptr) {
        FAppCaptionX = FFormStyleItem->AppCaptionX();
        FAppCaptionY = FFormStyleItem->AppCaptionY();
        FEnabledShadow = FFormStyleItem->EnabledShadow();
    }
}

void TBaseSkinForm::ChangeSkinFile() {
    // While the style is re-applied nothing redraws; the form redraws once at the end.
    FSkinLoaded = false;
    FSkinGeneration = SkinChangeGeneration();
    LoadFormStyle();
    ApplyFormStyle();
    FSkinLoaded = true;
    if (isVisible() && FIsFirstShowed) {
        // The background was applied while the skin was loading, when controls are not told;
        // they hear of it now, once, with the item the form shows.
        TellControlsOfBackGround();
        RedrawWindow(true, true);
        RePaintParentImageImmediatelyAll(this);
        if (FEnabledShadow)
            AttachShadow();
        else
            DetachShadow();
    }
}

void TBaseSkinForm::ChangeSkinBackGroundFile(TBaseSkinItem* AItem) {
    ChangeSkinBackGroundItem(AItem);
}

void TBaseSkinForm::ChangeSkinBackGroundColor(TBaseSkinItem* AItem) {
    ChangeSkinBackGroundItem(AItem);
}

void TBaseSkinForm::ChangeSkinBackGroundCustomColor(TBaseSkinItem* AItem) {
    ChangeSkinBackGroundItem(AItem);
}

void TBaseSkinForm::ChangeSkinBackGroundItem(TBaseSkinItem* AItem) {
    FBackGroundItem = AItem;
    FBackGroundItemAlive = AItem != nullptr ? AItem->Alive() : std::weak_ptr<void>();
    if (AItem != nullptr) {
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor::fromRgba(AItem->AverageGPColor()));
        setPalette(colours);
    }
    if (!FSkinLoaded || !isVisible() || !FIsFirstShowed)
        return;
    TellControlsOfBackGround();
    RedrawWindow(true, true);
    RePaintParentImageImmediatelyAll(this);
}

void TBaseSkinForm::TellControlsOfBackGround() {
    TBaseSkinItem* item = BackGroundItem();
    TSkinCustomControl::AllMembersChangeSkinBackGround(item);
    TFormDrawSkinCustomControl::AllMembersChangeSkinBackGround(item);
}

TBaseSkinItem* TBaseSkinForm::BackGroundItem() const {
    return FBackGroundItemAlive.expired() ? nullptr : FBackGroundItem;
}

TGDIBIGIMGPro* TBaseSkinForm::TextureGdiImage() const {
    TBaseSkinItem* item = BackGroundItem();
    return item != nullptr ? item->TextureGdiImage() : nullptr;
}

void TBaseSkinForm::SetSufferBackGroundName(const QString& AName) {
    if ((AName == FSufferBackGroundName && FSufferBackGroundItem != nullptr) || !SkinMng().Loaded())
        return;
    FSufferBackGroundName = AName;
    SelectBackGround();
    if (FSkinLoaded && isVisible() && FIsFirstShowed) {
        RedrawWindow(true, false);
        RePaintParentImageImmediatelyAll(this);
    }
}

void TBaseSkinForm::SelectBackGround() {
    // The catalogue belongs to the style, so a new style always means a new look-up.
    FSufferBackGroundItem = FFormStyleItem != nullptr
                                ? FFormStyleItem->SufferBackGrounds().GetItem(FSufferBackGroundName)
                                : nullptr;
    if (FSufferBackGroundItem != nullptr || FLastSufferBackGroundItem != nullptr)
        FLastSufferBackGroundItem = FSufferBackGroundItem;
}

// --- drawing ---------------------------------------------------------------------------------

void TBaseSkinForm::RedrawWindow(bool ARedraw, bool ARegion) {
    if (!isVisible())
        return;
    Guarded(QStringLiteral("RedrawWindow"), [&] {
        if (ARegion)
            UpdateWindowRegion(true);
        RebuildBuffer(ARedraw);
        update();
    });
}

bool TBaseSkinForm::TitleControlsStale() const {
    for (QObject* object : children())
        if (auto* control = dynamic_cast<TFormDrawSkinCustomControl*>(object))
            if (control->NeedRepaintNormalImage())
                return true;
    return false;
}

void TBaseSkinForm::RebuildBuffer(bool force) {
    // The buffer holds the window's device pixels: a move to a screen of another ratio makes
    // it as stale as a new size does.
    const qreal ratio = SurfaceRatioOf(*this);
    const bool resized =
        LogicalSize(FBufferBitmap) != size() || !SameRatio(FBufferBitmap.devicePixelRatio(), ratio);
    if (resized) {
        const QSize pixels = DeviceSizeFor(size(), ratio);
        if (!IsAllocatableSize(pixels.width(), pixels.height()))
            return;
        FBufferBitmap = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        FBufferBitmap.setDevicePixelRatio(ratio);
    }
    if (!force && !resized && FIsFirstDrawedWindow && !TitleControlsStale())
        return;
    PaintBackGround();
    TGPGraphics graphics(FBufferBitmap);
    DrawFormFrame(graphics);
}

void TBaseSkinForm::PaintBackGround() {
    // The texture under the style's picture can change between redraws (a new item, or the
    // old one destroyed), so the composed item is told each time which texture it covers.
    FBackGroundPicture = ComposeFormBackGround(FSufferBackGroundItem, TextureGdiImage(), size(),
                                               FBufferBitmap.devicePixelRatio());
    if (!FBackGroundPicture.isNull()) {
        TGPGraphics copy(FBufferBitmap);
        copy.CopyRect(FBackGroundPicture, QRect(QPoint(0, 0), size()), QPoint(0, 0));
        FIsFirstDrawedWindow = true;
        return;
    }
    // Without a background the form's colour stands in, so the frame is never drawn twice over
    // itself and a new buffer never shows uninitialised memory.
    FBufferBitmap.fill(palette().color(QPalette::Window));
    FIsFirstDrawedWindow = false;
}

TRect TBaseSkinForm::TitleRect() const {
    return TRect{0, FBorderTopHeight, width(), FTitleHeight};
}

void TBaseSkinForm::DrawFormFrame(TGPGraphics& Graphics) {
    DrawFormDrawControls(Graphics);
    if (FIsDrawCaption) {
        const TRect title = TitleRect();
        DrawCaption(Graphics, TGPRect{title.Left, title.Top, title.Right - title.Left,
                                      title.Bottom - title.Top});
    }
}

void TBaseSkinForm::DrawCaption(TGPGraphics&, const TGPRect&) {}

void TBaseSkinForm::DrawFormDrawControls(TGPGraphics& Graphics) {
    try {
        for (QObject* object : children()) {
            auto* control = dynamic_cast<TFormDrawSkinCustomControl*>(object);
            if (control == nullptr)
                continue;
            control->PaintNormalImageToBuffer();
            if (!control->isHidden() && control->NormalBufferGPBitmap())
                Graphics.DrawImage(*control->NormalBufferGPBitmap(), control->x(), control->y());
        }
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("DrawFormDrawSkinCustomControlList"));
    }
}

void TBaseSkinForm::UpdateWindowRegion(bool) {
    QRegion region;
    if (isMaximized() || isFullScreen() || !FIsRoundRectWindow)
        region = QRegion(rect());
    else
        region = RoundRectRegion(width(), height(), RoundCornerEllipse);
    if (region == FWindowRegion)
        return;
    FWindowRegion = region;
    if (region == QRegion(rect()))
        clearMask();
    else
        setMask(region);
}

void TBaseSkinForm::EraseBkgndWindow(QPainter& DC) {
    if (!isVisible() || !FIsFirstShowed)
        return;
    Guarded(QStringLiteral("EraseBkgndWindow"), [&] {
        const QImage* background = BackGroundBufferImage();
        const QSize buffer = LogicalSize(FBufferBitmap);
        if (background != nullptr && buffer.width() < width()) {
            const int bw = LogicalSize(*background).width();
            PaintLogicalPart(DC, QPoint(bw, 0), *background,
                             QRect(width() - bw, 0, width(), height()));
        }
        if (background != nullptr && buffer.height() < height()) {
            const int bh = LogicalSize(*background).height();
            PaintLogicalPart(DC, QPoint(0, height() - bh), *background,
                             QRect(0, height() - bh, width(), height()));
        }
        DC.drawImage(QPoint(0, 0), FBufferBitmap);
    });
}

const QImage* TBaseSkinForm::FormBufferImage() const {
    return FBufferBitmap.isNull() ? nullptr : &FBufferBitmap;
}

const QImage* TBaseSkinForm::BackGroundBufferImage() const {
    return FBackGroundPicture.isNull() ? nullptr : &FBackGroundPicture;
}

// --- shadow ----------------------------------------------------------------------------------

void TBaseSkinForm::EnableShadow(bool Value) {
    FEnabledShadow = Value;
    if (Value)
        AttachShadow();
    else
        DetachShadow();
}

void TBaseSkinForm::AttachShadow() {
    if (!FShadowFrame || FFormStyleItem == nullptr)
        return;
    TFormShadowFrame& shadow = *FShadowFrame;
    const TSkinFormStyleItem& style = *FFormStyleItem;
    shadow.SetShadowBottomBitmap(style.ShadowImage(shwBottom));
    shadow.SetShadowTopBitmap(style.ShadowImage(shwTop));
    shadow.SetShadowLeftBitmap(style.ShadowImage(shwLeft));
    shadow.SetShadowRightBitmap(style.ShadowImage(shwRight));
    shadow.SetShadowBitmap(style.ShadowImage(shwWhole));
    shadow.SetShadowDrawMargin(ShadowMarginsOf(style.ShadowDrawMargin()));
    shadow.SetShadowSizeMargin(ShadowMarginsOf(style.ShadowSizeMargin()));
    // A style without pictures for a shadow leaves the shadow window inactive.
    if (!shadow.HasShadowPictures()) {
        DetachShadow();
        return;
    }
    shadow.SetParentForm(this);
    shadow.SetActive(true);
}

void TBaseSkinForm::DetachShadow() {
    if (!FShadowFrame)
        return;
    FShadowFrame->SetParentForm(nullptr);
    FShadowFrame->SetActive(false);
}

// --- fade-in ---------------------------------------------------------------------------------

void TBaseSkinForm::StartFade() {
    if (!FShowTimer) {
        FShowTimer = CreateSkinTimer();
        FShowTimer->SetInterval(FadeInterval);
        FShowTimer->OnTimer = [this] { FadeTick(); };
    }
    FShowTimer->Start();
}

void TBaseSkinForm::FadeTick() {
    setWindowOpacity(1.0);
    FShowTimer->Stop();
    if (FEnabledShadow)
        EnableShadow(true);
}

// --- listener registration -------------------------------------------------------------------

void TBaseSkinForm::SetListening(bool listening) {
    if (FListening == listening)
        return;
    FListening = listening;
    if (!listening) {
        SkinMng().UnRegisterSkinListener(this);
        return;
    }
    SkinMng().RegisterSkinListener(this, KSkinMsgChangeSkinFile, KSkinMsgChangeBackGroundColor,
                                   KSkinMsgChangeBackGroundFile,
                                   KSkinMsgChangeBackGroundCustomColor);
    // A form without a window heard of no skin or background change; it catches up before it
    // is shown.
    if (FSkinGeneration != SkinChangeGeneration() ||
        BackGroundItem() != SkinMng().UserSkinConfig().AppUsedSkinItem())
        Guarded(QStringLiteral("ChangeSkinFile"), [&] { ChangeSkinFile(); });
}

// --- events ----------------------------------------------------------------------------------

bool TBaseSkinForm::event(QEvent* event) {
    switch (int(event->type())) {
    case SkinFileChangedEvent:
        Guarded(QStringLiteral("ChangeSkinFile"), [&] { ChangeSkinFile(); });
        return true;
    case SkinBackGroundColorChangedEvent:
        ChangeSkinBackGroundColor(BackGroundOfMessage(event));
        return true;
    case SkinBackGroundFileChangedEvent:
        ChangeSkinBackGroundFile(BackGroundOfMessage(event));
        return true;
    case SkinBackGroundCustomColorChangedEvent:
        ChangeSkinBackGroundCustomColor(BackGroundOfMessage(event));
        return true;
    case QEvent::WinIdChange:
        // The window exists exactly while it has an identifier.
        SetListening(internalWinId() != 0);
        break;
    case QEvent::LayoutRequest:
        if (FReSizeNotAlignControls)
            return true;
        break;
    case QEvent::ScreenChangeInternal:
        // Another screen may have another ratio: the form's buffer is made again at once and
        // every control takes its parent picture again, at the ratio of the new screen.
        RedrawWindow(true, false);
        RePaintParentImageAll(this);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

TBaseSkinItem* TBaseSkinForm::BackGroundOfMessage(QEvent* event) {
    return static_cast<TSkinChangeEvent*>(event)->Item();
}

void TBaseSkinForm::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    try {
        RebuildBuffer(false);
        PaintLogicalPart(painter, event->rect().topLeft(), FBufferBitmap, event->rect());
    } catch (const std::exception& error) {
        LogFailure(error, QStringLiteral("RedrawWindow"));
        EraseBkgndWindow(painter);
    }
}

void TBaseSkinForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible() && FIsFirstShowed) {
        RedrawWindow(false, true);
        RePaintParentImageImmediatelyAll(this);
    }
}

void TBaseSkinForm::showEvent(QShowEvent* event) {
    // Restoring from the task bar also shows the window; only a real show starts over.
    if (event->spontaneous()) {
        QWidget::showEvent(event);
        return;
    }
    if (!FNotDelayShow)
        setWindowOpacity(0.0);
    QWidget::showEvent(event);
    RedrawWindow(true, true);
    FIsFirstShowed = true;
    if (!FNotDelayShow)
        StartFade();
    else if (FEnabledShadow)
        EnableShadow(true);
}

void TBaseSkinForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    // The shadow is detached but still wanted: a form shown again gets it back.
    if (event->isAccepted())
        DetachShadow();
}

void TBaseSkinForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        UpdateWindowRegion(true);
}

void TBaseSkinForm::StartSystemMove(const QPoint& clientPos) {
    // Where a window stays where it is put (X11), the form follows the pointer itself, as far
    // as it has travelled and to the pixel: a window manager's move would start from where the
    // pointer is now and drop the way it came since the press.
    if (TDesktopWindows::Current().CanPlaceWindows()) {
        FDragging = true;
        FDragOffset = clientPos;
        move(QCursor::pos() - clientPos);
        return;
    }
    QWindow* handle = windowHandle();
    if (handle != nullptr && handle->startSystemMove())
        return;
    FDragging = true;
    FDragOffset = clientPos;
}

void TBaseSkinForm::StartSystemResize(Qt::Edges edges) {
    if (QWindow* handle = windowHandle())
        handle->startSystemResize(edges);
}

bool TBaseSkinForm::OnOwnSurface(const QPoint& clientPos) const {
    // A press that a child ignored travels up to here; it is still the child's.
    return childAt(clientPos) == nullptr;
}

void TBaseSkinForm::mousePressEvent(QMouseEvent* event) {
    event->accept();
    FMovePending = false;
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (!OnOwnSurface(pos))
        return;
    const int code = HitTestAt(pos);
    if (code != HTCLIENT) {
        if (const Qt::Edges edges = EdgesOfHitTest(code))
            StartSystemResize(edges);
        return;
    }
    if (!FFullMove) {
        const TRect title = TitleRect();
        if (pos.x() < title.Left || pos.x() >= title.Right || pos.y() < title.Top ||
            pos.y() >= title.Bottom)
            return;
    }
    // The move starts once the pointer has travelled a little with the button held. Asked for
    // at the press, a window manager that answers late starts a move after a quick click has
    // already been released, and the window then follows the pointer with no button held.
    FMovePending = true;
    FMovePressPos = pos;
}

void TBaseSkinForm::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (FDragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - FDragOffset);
        return;
    }
    if (FMovePending && (event->buttons() & Qt::LeftButton)) {
        if ((pos - FMovePressPos).manhattanLength() >= QApplication::startDragDistance()) {
            FMovePending = false;
            StartSystemMove(FMovePressPos);
        }
        return;
    }
    FMovePending = false;
    if (event->buttons() == Qt::NoButton)
        setCursor(CursorOfHitTest(HitTestAt(pos)));
}

void TBaseSkinForm::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        FDragging = false;
        FMovePending = false;
    }
}

void TBaseSkinForm::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    FDragging = false;
    FMovePending = false;
    if (event->button() != Qt::LeftButton || !FFullMove || (FBorderIcons & biMaximize) == 0 ||
        !OnOwnSurface(event->position().toPoint()))
        return;
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

} // namespace velmora
