#include "skin/controls/SkinControl.h"

#include "skin/controls/ButtonEvents.h"
#include "skin/controls/FocusCues.h"
#include "skin/controls/LayoutHold.h"
#include "skin/controls/ParentImage.h"
#include "skin/controls/SkinClassRegistry.h"
#include "skin/controls/SkinFont.h"
#include "skin/controls/SkinForms.h"
#include "skin/drawing/DefaultSkinFont.h"
#include "skin/drawing/FocusCue.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWindow>
#include <algorithm>

namespace velmora {

namespace {

QFont DefaultControlFont(const QFont& base) {
    const TDefaultSkinFont skinFont = DefaultSkinFont();
    QFont font = base;
    font.setFamily(skinFont.Family);
    font.setPointSize(skinFont.Size);
    return font;
}

template <typename T> void AddToList(std::vector<T*>*& list, T* item) {
    if (list == nullptr)
        list = new std::vector<T*>();
    list->push_back(item);
}

template <typename T> void RemoveFromList(std::vector<T*>*& list, T* item) {
    if (list == nullptr)
        return;
    list->erase(std::remove(list->begin(), list->end(), item), list->end());
    if (list->empty()) {
        delete list;
        list = nullptr;
    }
}

// A copy of the list, so that a control created or destroyed by a change handler does not
// disturb the walk.
template <typename T> std::vector<T*> Snapshot(const std::vector<T*>* list) {
    return list != nullptr ? *list : std::vector<T*>();
}

// A transparent buffer of a logical size at a ratio; it has that many more pixels.
QImage NewBuffer(QSize size, qreal ratio) {
    if (SameRatio(ratio, 1)) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    }
    return NewDeviceImage(size, ratio);
}

// A buffer that no longer fits the control: another size, or made for another ratio.
bool IsStale(const QImage& buffer, QSize size, qreal ratio) {
    return LogicalSize(buffer) != size || !SameRatio(buffer.devicePixelRatio(), ratio);
}

} // namespace

std::vector<TSkinCustomControl*>* TSkinCustomControl::FControlList = nullptr;
std::vector<TFormDrawSkinCustomControl*>* TFormDrawSkinCustomControl::FControlList = nullptr;

// ---------------------------------------------------------------------------------------------

TSkinCustomControl::TSkinCustomControl(QWidget* parent) : QWidget(parent) {
    EnsureSkinClassesRegistered();
    AddToList(FControlList, this);
    // The control paints every pixel itself from its buffers; there is no erase step.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(DefaultControlFont(font()));
    FButton.OnLookChanged = [this] { ButtonLookChanged(); };
    FButton.OnClick = [this] {
        if (isEnabled())
            Click();
    };
    FButton.OnDoubleClick = [this] {
        if (OnDblClick)
            OnDblClick();
    };
}

TSkinCustomControl::~TSkinCustomControl() {
    RemoveFromList(FControlList, this);
}

void TSkinCustomControl::SetTransparent(bool Value) {
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    if (!FTransparent)
        FParentImageBufferBitmap.reset();
    Repaint();
}

void TSkinCustomControl::SetEnableGdiPlusBuffer(bool Value) {
    if (FEnableGdiPlusBuffer == Value)
        return;
    FEnableGdiPlusBuffer = Value;
    if (!FEnableGdiPlusBuffer)
        FSelfBufferGPBitmap.reset();
    Repaint();
}

void TSkinCustomControl::SetUseSkinFont(bool Value) {
    if (FUseSkinFont == Value)
        return;
    FUseSkinFont = Value;
    if (FUseSkinFont)
        ApplySkinFont();
}

void TSkinCustomControl::SetReSizeNotAlignControls(bool Value) {
    if (FReSizeNotAlignControls == Value)
        return;
    FReSizeNotAlignControls = Value;
    SetLayoutHeld(*this, Value);
}

void TSkinCustomControl::SetColor(const QColor& Value) {
    if (FColor == Value)
        return;
    FColor = Value;
    if (!FTransparent)
        RepaintParentImage();
}

void TSkinCustomControl::BeginLoad() {
    if (FLoading)
        return;
    FLoading = true;
    Repaint();
}

void TSkinCustomControl::EndLoad() {
    if (!FLoading)
        return;
    FLoading = false;
    Loaded();
    Repaint();
}

void TSkinCustomControl::Loaded() {
    ApplySkinFont();
}

void TSkinCustomControl::ApplySkinFont() {
    if (!FUseSkinFont || FLoading)
        return;
    ApplySkinManagerFont(*this);
}

void TSkinCustomControl::Click() {
    if (OnClick)
        OnClick();
}

void TSkinCustomControl::SetControlAction(TControlAction Value) {
    if (FControlAction == Value)
        return;
    FControlAction = Value;
    setFocusPolicy(Value == TControlAction::None ? Qt::NoFocus : Qt::TabFocus);
}

void TSkinCustomControl::Activate() {
    if (isEnabled() && isVisible())
        Click();
}

bool TSkinCustomControl::ShowsFocusCue() const {
    return FControlAction != TControlAction::None && hasFocus() && FocusCuesShown(*this);
}

// Every mouse event on a skinned control is the control's own: left to Qt's default it would
// travel up to the form, whose press handler starts moving the window.
void TSkinCustomControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    FeedMouseButton(FButton, *event, HitTest(event->position().toPoint()));
}

void TSkinCustomControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    FeedMouseButton(FButton, *event, HitTest(event->position().toPoint()));
}

void TSkinCustomControl::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    FeedMouseButton(FButton, *event, HitTest(event->position().toPoint()));
}

void TSkinCustomControl::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (FButton.MousePressed())
        FButton.Move(HitTest(event->position().toPoint()));
}

void TSkinCustomControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    FButton.Enter();
}

void TSkinCustomControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    FButton.Leave();
}

void TSkinCustomControl::keyPressEvent(QKeyEvent* event) {
    if (FControlAction == TControlAction::None || !isEnabled() || !hasFocus()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (ShowFocusCues(*this))
        Recompose();
    // A check box leaves Return to the window's default button, as check boxes do.
    if (!FeedKeyPress(FButton, *event, FControlAction != TControlAction::Toggle))
        QWidget::keyPressEvent(event);
}

void TSkinCustomControl::keyReleaseEvent(QKeyEvent* event) {
    if (!FeedKeyRelease(FButton, *event))
        QWidget::keyReleaseEvent(event);
}

void TSkinCustomControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (IsKeyboardFocusReason(event->reason()))
        ShowFocusCues(*this);
    Recompose();
}

void TSkinCustomControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    FButton.Cancel();
    Recompose();
}

void TSkinCustomControl::Recompose() {
    FForceRepaintSelfImage = true;
    update();
}

bool TSkinCustomControl::ParentSkinClientRect(TRect& ARect) const {
    const auto* form = dynamic_cast<const TBaseSkinForm*>(parentWidget());
    if (form == nullptr)
        return false;
    ARect = form->ClientLayoutRect();
    return true;
}

void TSkinCustomControl::SetControlBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    setGeometry(ALeft, ATop, AWidth, AHeight);
    CaptureAnchorDistances();
}

void TSkinCustomControl::SetSkinAnchors(TSkinAnchors AValue) {
    FSkinAnchors = AValue;
    CaptureAnchorDistances();
}

void TSkinCustomControl::CaptureAnchorDistances() {
    QWidget* parent = parentWidget();
    if (parent == nullptr)
        return;
    FAnchorRight = parent->width() - (x() + width());
    FAnchorBottom = parent->height() - (y() + height());
    // Installing twice is harmless: Qt keeps one entry per filter object.
    parent->installEventFilter(this);
}

void TSkinCustomControl::ApplyAnchors() {
    const QWidget* parent = parentWidget();
    if (parent == nullptr)
        return;
    QRect bounds = geometry();
    const bool left = (FSkinAnchors & akLeft) != 0;
    const bool right = (FSkinAnchors & akRight) != 0;
    const bool top = (FSkinAnchors & akTop) != 0;
    const bool bottom = (FSkinAnchors & akBottom) != 0;
    if (right && left)
        bounds.setWidth(std::max(0, parent->width() - FAnchorRight - bounds.x()));
    else if (right)
        bounds.moveLeft(parent->width() - FAnchorRight - bounds.width());
    if (bottom && top)
        bounds.setHeight(std::max(0, parent->height() - FAnchorBottom - bounds.y()));
    else if (bottom)
        bounds.moveTop(parent->height() - FAnchorBottom - bounds.height());
    if (bounds != geometry())
        setGeometry(bounds);
}

bool TSkinCustomControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize &&
        FSkinAnchors != (akLeft | akTop))
        ApplyAnchors();
    return QWidget::eventFilter(watched, event);
}

void TSkinCustomControl::Repaint() {
    FForceRepaintSelfImage = true;
    FForceRepaintParentImage = true;
    FForceRepaintSelfBuffer = true;
    FForceRepaintParentBuffer = true;
    update();
}

void TSkinCustomControl::RepaintSelfImage() {
    FForceRepaintSelfImage = true;
    FForceRepaintSelfBuffer = true;
    update();
}

void TSkinCustomControl::RepaintParentImage() {
    FForceRepaintParentImage = true;
    FForceRepaintParentBuffer = true;
    update();
}

void TSkinCustomControl::RepaintParentImageImmediately() {
    FForceRepaintParentImage = true;
    FForceRepaintParentBuffer = true;
    // "Immediately" means the composed buffer is current when this returns; a repaint of a
    // window that is not exposed yet paints nothing, so the pipeline runs directly then.
    const QWindow* window = this->window()->windowHandle();
    if (isVisible() && window != nullptr && window->isExposed())
        repaint();
    else
        PaintPipeline();
}

bool TSkinCustomControl::NeedRebuildBuffer() const {
    return FJustChangeSkinBackGround || FJustChangeSkinFile || FForceRepaintSelfImage ||
           FForceRepaintParentImage;
}

bool TSkinCustomControl::NeedRepaintParentBuffer() const {
    return FForceRepaintParentBuffer || FJustChangeSkinBackGround || FJustChangeSkinFile;
}

bool TSkinCustomControl::NeedRepaintSelfBuffer() const {
    return FForceRepaintSelfBuffer;
}

IGPBitmap TSkinCustomControl::CreateSelfBufferGPBitmap() {
    return NewGPBitmap(width(), height(), BufferRatio());
}

qreal TSkinCustomControl::BufferRatio() const {
    return SurfaceRatioOf(*this);
}

void TSkinCustomControl::CustomPaint(TGPGraphics& Graphics, const TGPRect&) {
    // Without the self image this surface is the composed buffer, which already holds the
    // background; clearing it would punch a hole through to nothing.
    if (FEnableGdiPlusBuffer)
        Graphics.Clear(0);
}

void TSkinCustomControl::AppendPaint(TGPGraphics&, const TGPRect&) {}

void TSkinCustomControl::DesignPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    Graphics.Clear(0xFFFFFFFF);
    Graphics.DrawRectangle(
        0xFF00FFFF, 1, QRectF(ADrawRect.X, ADrawRect.Y, ADrawRect.Width - 1, ADrawRect.Height - 1));
}

void TSkinCustomControl::ChangeSkinFile() {
    ApplySkinFont();
}

void TSkinCustomControl::ChangeSkinBackGroundItem(TBaseSkinItem*) {}

void TSkinCustomControl::SetDrawRects() {
    FDrawGPRect = TGPRect{0, 0, width(), height()};
}

void TSkinCustomControl::PaintParentImageToBuffer() {
    if (!FTransparent)
        return;
    bool resized = false;
    const qreal ratio = BufferRatio();
    if (!FParentImageBufferBitmap || IsStale(*FParentImageBufferBitmap, size(), ratio)) {
        SetDrawRects();
        FParentImageBufferBitmap = std::make_unique<QImage>(NewBuffer(size(), ratio));
        resized = true;
    }
    if (resized || NeedRepaintParentBuffer()) {
        DrawParentImage(this, *FParentImageBufferBitmap, 0, 0);
        FForceRepaintParentBuffer = false;
    }
}

void TSkinCustomControl::PaintPipeline() {
    if (width() <= 0 || height() <= 0)
        return;
    PaintParentImageToBuffer();
    bool selfChanged = false;
    if (FEnableGdiPlusBuffer) {
        bool recreated = false;
        if (!FSelfBufferGPBitmap || FSelfBufferGPBitmap->Width() != width() ||
            FSelfBufferGPBitmap->Height() != height() ||
            !SameRatio(FSelfBufferGPBitmap->Ratio(), BufferRatio())) {
            SetDrawRects();
            FSelfBufferGPBitmap = CreateSelfBufferGPBitmap();
            recreated = true;
        }
        if (FSelfBufferGPBitmap && (recreated || NeedRepaintSelfBuffer())) {
            TGPGraphics graphics(*FSelfBufferGPBitmap);
            if (FLoading)
                DesignPaint(graphics, FDrawGPRect);
            else
                CustomPaint(graphics, FDrawGPRect);
            FForceRepaintSelfBuffer = false;
            selfChanged = true;
        }
    }
    PaintBuffer(selfChanged);
    FForceRepaintSelfImage = false;
    FForceRepaintParentImage = false;
    FJustChangeSkinFile = false;
    FJustChangeSkinBackGround = false;
    FFirstPainted = true;
}

void TSkinCustomControl::PaintBuffer(bool ASelfChanged) {
    const qreal ratio = BufferRatio();
    const bool resized = IsStale(FBufferBitmap, size(), ratio);
    if (!resized && !ASelfChanged && !NeedRebuildBuffer())
        return;
    // A rebuild after a resize goes into a new picture that replaces the old one only when it
    // is complete, so a failing paint leaves the last good picture.
    QImage fresh;
    if (resized) {
        SetDrawRects();
        fresh = NewBuffer(size(), ratio);
    }
    QImage& target = resized ? fresh : FBufferBitmap;
    {
        TGPGraphics graphics(target);
        if (FTransparent && FParentImageBufferBitmap)
            graphics.CopyRect(*FParentImageBufferBitmap, QRect(QPoint(0, 0), size()), QPoint(0, 0));
        else {
            graphics.Painter().setCompositionMode(QPainter::CompositionMode_Source);
            // The whole picture, also the pixels a fractional ratio puts past the last
            // logical pixel.
            graphics.Painter().fillRect(QRectF(QPointF(0, 0), QSizeF(target.size()) / ratio),
                                        FColor);
            graphics.Painter().setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        if (FEnableGdiPlusBuffer) {
            if (FSelfBufferGPBitmap)
                graphics.DrawImage(*FSelfBufferGPBitmap, 0, 0);
        } else if (FLoading)
            DesignPaint(graphics, FDrawGPRect);
        else
            CustomPaint(graphics, FDrawGPRect);
        if (FIsNeedAppendPaint)
            AppendPaint(graphics, FDrawGPRect);
        if (ShowsFocusCue())
            DrawFocusCue(graphics, FocusCueRect());
    }
    if (resized)
        FBufferBitmap = std::move(fresh);
}

void TSkinCustomControl::EraseBackground(QPainter& DC) {
    if (!isVisible() || !FFirstPainted)
        return;
    const int bw = LogicalSize(FBufferBitmap).width();
    const int bh = LogicalSize(FBufferBitmap).height();
    if (bw < width() || bh < height()) {
        QImage behind = NewBuffer(size(), BufferRatio());
        if (bw < width())
            DrawParentImage(this, behind, bw, 0);
        if (bh < height())
            DrawParentImage(this, behind, 0, bh);
        DC.drawImage(QPoint(0, 0), behind);
    }
    DC.drawImage(QPoint(0, 0), FBufferBitmap);
}

void TSkinCustomControl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    try {
        PaintPipeline();
        PaintLogicalPart(painter, event->rect().topLeft(), FBufferBitmap, event->rect());
    } catch (const std::exception& error) {
        const QString name = objectName();
        LogSkinFailure(ClassName(), &name, &error, QStringLiteral("Paint"));
        EraseBackground(painter);
    }
}

void TSkinCustomControl::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    RepaintParentImage();
}

void TSkinCustomControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Repaint();
}

void TSkinCustomControl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    RepaintParentImage();
}

void TSkinCustomControl::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    RepaintParentImage();
}

bool TSkinCustomControl::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest && FReSizeNotAlignControls)
        return true;
    switch (event->type()) {
    case QEvent::Hide:
        // A hidden control gets neither the release nor the leave.
        FButton.Reset();
        break;
    case QEvent::UngrabMouse:
    case QEvent::WindowDeactivate:
        FButton.Cancel();
        break;
    case QEvent::EnabledChange:
        if (!isEnabled())
            FButton.Cancel();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TSkinCustomControl::AllMembersChangeSkinFile() {
    for (TSkinCustomControl* control : Snapshot(FControlList)) {
        control->FJustChangeSkinFile = true;
        control->ChangeSkinFile();
    }
}

void TSkinCustomControl::AllMembersChangeSkinBackGround(TBaseSkinItem* AItem) {
    for (TSkinCustomControl* control : Snapshot(FControlList)) {
        control->FJustChangeSkinBackGround = true;
        control->ChangeSkinBackGroundItem(AItem);
    }
}

// ---------------------------------------------------------------------------------------------

TFormDrawSkinCustomControl::TFormDrawSkinCustomControl(QWidget* parent) : QWidget(parent) {
    EnsureSkinClassesRegistered();
    AddToList(FControlList, this);
    setMouseTracking(true);
    setFont(DefaultControlFont(font()));
    // Title-bar buttons are Tab stops like every other button; a mouse click leaves the focus
    // where it was.
    setFocusPolicy(Qt::TabFocus);
    FButton.OnLookChanged = [this] { LookChanged(); };
    FButton.OnClick = [this] {
        if (isEnabled())
            Click();
    };
}

TFormDrawSkinCustomControl::~TFormDrawSkinCustomControl() {
    RemoveFromList(FControlList, this);
}

bool TFormDrawSkinCustomControl::NeedRepaintSelfImage() const {
    return FForceRepaintSelfImage || FSelfJustChangeSkinFile || FSelfJustChangeSkinBackGround;
}

bool TFormDrawSkinCustomControl::NeedRepaintNormalImage() const {
    return FForceRepaintNormalImage || FNormalJustChangeSkinFile || FNormalJustChangeSkinBackGround;
}

void TFormDrawSkinCustomControl::PaintSelfImage(TGPGraphics& Graphics, const TGPRect&) {
    Graphics.Clear(0);
}

void TFormDrawSkinCustomControl::PaintNormalImage(TGPGraphics& Graphics, const TGPRect&) {
    Graphics.Clear(0);
}

void TFormDrawSkinCustomControl::ChangeSkinFile() {
    if (FUseSkinFont)
        ApplySkinManagerFont(*this);
}

void TFormDrawSkinCustomControl::ChangeSkinBackGroundItem(TBaseSkinItem*) {}

void TFormDrawSkinCustomControl::Repaint() {
    FForceRepaintSelfImage = true;
    FForceRepaintNormalImage = true;
    update();
}

void TFormDrawSkinCustomControl::RepaintSelfImage() {
    FForceRepaintSelfImage = true;
    update();
}

void TFormDrawSkinCustomControl::PaintNormalImageToBuffer() {
    if (width() <= 0 || height() <= 0)
        return;
    bool recreated = false;
    const qreal ratio = SurfaceRatioOf(*this);
    if (!FNormalBufferGPBitmap || FNormalDrawGPRect.Width != width() ||
        FNormalDrawGPRect.Height != height() || !SameRatio(FNormalBufferGPBitmap->Ratio(), ratio)) {
        FNormalBufferGPBitmap = NewGPBitmap(width(), height(), ratio);
        FNormalDrawGPRect = TGPRect{0, 0, width(), height()};
        recreated = true;
    }
    if (FNormalBufferGPBitmap && (recreated || NeedRepaintNormalImage())) {
        TGPGraphics graphics(*FNormalBufferGPBitmap);
        PaintNormalImage(graphics, FNormalDrawGPRect);
        FForceRepaintNormalImage = false;
    }
    FNormalJustChangeSkinFile = false;
    FNormalJustChangeSkinBackGround = false;
}

void TFormDrawSkinCustomControl::paintEvent(QPaintEvent*) {
    if (!FSelfPaint || width() <= 0 || height() <= 0)
        return;
    bool recreated = false;
    const qreal ratio = SurfaceRatioOf(*this);
    if (!FSelfBufferGPBitmap || FSelfDrawGPRect.Width != width() ||
        FSelfDrawGPRect.Height != height() || !SameRatio(FSelfBufferGPBitmap->Ratio(), ratio)) {
        FSelfBufferGPBitmap = NewGPBitmap(width(), height(), ratio);
        FSelfDrawGPRect = TGPRect{0, 0, width(), height()};
        recreated = true;
    }
    if (FSelfBufferGPBitmap && (recreated || NeedRepaintSelfImage())) {
        TGPGraphics graphics(*FSelfBufferGPBitmap);
        PaintSelfImage(graphics, FSelfDrawGPRect);
        FForceRepaintSelfImage = false;
    }
    FSelfJustChangeSkinFile = false;
    FSelfJustChangeSkinBackGround = false;
    if (!FSelfBufferGPBitmap)
        return;
    QImage canvas = NewBuffer(size(), ratio);
    DrawParentImage(this, canvas, 0, 0);
    {
        TGPGraphics graphics(canvas);
        graphics.DrawImage(*FSelfBufferGPBitmap, 0, 0);
        if (ShowsFocusCue())
            DrawFocusCue(graphics, rect());
    }
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), canvas);
}

void TFormDrawSkinCustomControl::Activate() {
    if (isEnabled() && isVisible())
        Click();
}

bool TFormDrawSkinCustomControl::ShowsFocusCue() const {
    return hasFocus() && FocusCuesShown(*this);
}

void TFormDrawSkinCustomControl::UpdateSelfPaint() {
    const bool selfPaint = FButton.Hovered() || ShowsFocusCue();
    if (FSelfPaint == selfPaint)
        return;
    FSelfPaint = selfPaint;
    RepaintSelfImage();
}

// The hooks keep their order: enter or leave first, then the pressed look, then one repaint.
void TFormDrawSkinCustomControl::LookChanged() {
    const bool hovered = FButton.Hovered();
    if (FHovered != hovered) {
        FHovered = hovered;
        if (hovered)
            MouseEnter();
        else
            MouseLeave();
    }
    const bool down = FButton.Down();
    if (FDown != down) {
        FDown = down;
        MouseDownChanged(down);
    }
    UpdateSelfPaint();
    RepaintSelfImage();
}

bool TFormDrawSkinCustomControl::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Hide:
        FButton.Reset();
        break;
    case QEvent::EnabledChange:
        if (!isEnabled())
            FButton.Cancel();
        break;
    // The release may go elsewhere once another window or a popup takes the mouse.
    case QEvent::UngrabMouse:
    case QEvent::WindowDeactivate:
        FButton.Cancel();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TFormDrawSkinCustomControl::MouseEnter() {}
void TFormDrawSkinCustomControl::MouseLeave() {}

void TFormDrawSkinCustomControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    FButton.Move(HitTest(event->position().toPoint()));
}

void TFormDrawSkinCustomControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    FButton.Leave();
}

void TFormDrawSkinCustomControl::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    FButton.Move(HitTest(event->position().toPoint()));
}

void TFormDrawSkinCustomControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    FeedMouseButton(FButton, *event, HitTest(event->position().toPoint()));
}

void TFormDrawSkinCustomControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    FeedMouseButton(FButton, *event, HitTest(event->position().toPoint()));
}

// A double click on a title-bar button is one click, never the form's maximise toggle.
void TFormDrawSkinCustomControl::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    FeedMouseButton(FButton, *event, HitTest(event->position().toPoint()));
}

void TFormDrawSkinCustomControl::keyPressEvent(QKeyEvent* event) {
    if (!isEnabled() || !hasFocus()) {
        QWidget::keyPressEvent(event);
        return;
    }
    ShowFocusCues(*this);
    UpdateSelfPaint();
    if (!FeedKeyPress(FButton, *event, true))
        QWidget::keyPressEvent(event);
}

void TFormDrawSkinCustomControl::keyReleaseEvent(QKeyEvent* event) {
    if (!FeedKeyRelease(FButton, *event))
        QWidget::keyReleaseEvent(event);
}

void TFormDrawSkinCustomControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (IsKeyboardFocusReason(event->reason()))
        ShowFocusCues(*this);
    UpdateSelfPaint();
    RepaintSelfImage();
}

void TFormDrawSkinCustomControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    FButton.Cancel();
    UpdateSelfPaint();
    RepaintSelfImage();
}

void TFormDrawSkinCustomControl::AllMembersChangeSkinFile() {
    for (TFormDrawSkinCustomControl* control : Snapshot(FControlList)) {
        control->FSelfJustChangeSkinFile = true;
        control->FNormalJustChangeSkinFile = true;
        control->ChangeSkinFile();
    }
}

void TFormDrawSkinCustomControl::AllMembersChangeSkinBackGround(TBaseSkinItem* AItem) {
    for (TFormDrawSkinCustomControl* control : Snapshot(FControlList)) {
        control->FSelfJustChangeSkinBackGround = true;
        control->FNormalJustChangeSkinBackGround = true;
        control->ChangeSkinBackGroundItem(AItem);
    }
}

} // namespace velmora
