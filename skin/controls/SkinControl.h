#pragma once

#include "platform/graphics/GPBitmap.h"
#include "platform/graphics/GPGraphics.h"
#include "skin/controls/ButtonBehaviour.h"
#include "skin/data/SkinNodeControls.h"
#include "skin/drawing/SkinTypes.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace velmora {

class TBaseSkinItem;

// Where a control sits when it is laid out from a skin node: left, top, width and height in
// LeftMargin, TopMargin, RightMargin and BottomMargin.
using TAnchorMargin = TMargin;

// What the keyboard and assistive technology can do with a control: nothing (panels,
// pictures, plain text), press it (buttons), toggle it (check boxes) or follow it (links).
// Every control that does something takes the focus with Tab and shows it.
enum class TControlAction { None, Press, Toggle, Jump };

// Base of the windowed skinned controls. It keeps three pictures: the parent's background
// behind the control, the control's own drawing on a transparent surface, and both composed.
// Subclasses draw only their own content in CustomPaint (and AppendPaint), and ask for the
// smallest rebuild that covers a change.
class TSkinCustomControl : public QWidget, public virtual ISkinNodeControl {
public:
    explicit TSkinCustomControl(QWidget* parent = nullptr);
    ~TSkinCustomControl() override;
    TSkinCustomControl(const TSkinCustomControl&) = delete;
    TSkinCustomControl& operator=(const TSkinCustomControl&) = delete;

    virtual QString ClassName() const { return QStringLiteral("TSkinCustomControl"); }

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool EnableGdiPlusBuffer() const { return FEnableGdiPlusBuffer; }
    void SetEnableGdiPlusBuffer(bool Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value);
    bool ReSizeNotAlignControls() const { return FReSizeNotAlignControls; }
    void SetReSizeNotAlignControls(bool Value);
    // The colour painted behind the content of an opaque control.
    QColor Color() const { return FColor; }
    void SetColor(const QColor& Value);

    // While true the control is being built like a form description is read: it shows the
    // placeholder picture. Ending the load calls Loaded().
    bool IsLoading() const { return FLoading; }
    void BeginLoad();
    void EndLoad();

    const QImage& BufferBitmap() const { return FBufferBitmap; }
    const QImage* ParentImageBufferBitmap() const { return FParentImageBufferBitmap.get(); }
    const IGPBitmap& SelfBufferGPBitmap() const { return FSelfBufferGPBitmap; }
    // The ratio the buffers are made at: the device pixels per logical pixel of the window
    // the control is on. Sizes and rectangles of the buffers stay logical.
    qreal BufferRatio() const;

    TAnchorMargin AnchorMargin;
    int AnchorMarginType = -1;

    // Laid out from a skin node (the skin manager's AlignSkinControl and Set*BySkinNode).
    bool ParentSkinClientRect(TRect& ARect) const override;
    TMargin GetAnchorMargin() const override { return AnchorMargin; }
    void SetAnchorMargin(const TMargin& AValue) override { AnchorMargin = AValue; }
    int GetAnchorMarginType() const override { return AnchorMarginType; }
    void SetAnchorMarginType(int AValue) override { AnchorMarginType = AValue; }
    void SetControlBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Edges of the parent the control keeps its distance to when the parent resizes.
    void SetSkinAnchors(TSkinAnchors AValue) override;

    // A click is a left press and release inside the control; a press whose release can no
    // longer arrive here (hidden, disabled, the mouse taken elsewhere) is forgotten. The second
    // press of a double click raises OnDblClick and no second click.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    virtual void Click();

    // Performs the control's action as a click from the keyboard would (assistive
    // technology's press, toggle and jump); nothing while disabled or hidden.
    void Activate();

    // What Space, Return and assistive technology do with the control; anything but None
    // makes it a Tab stop.
    TControlAction ControlAction() const { return FControlAction; }
    void SetControlAction(TControlAction Value);
    // The one hit test of the control, used by hover and click alike.
    virtual bool HitTest(const QPoint& pos) const { return rect().contains(pos); }
    // Hovered: the pointer is over the control. Down: it looks pressed (a press held inside,
    // or Space held while it has the focus).
    bool MouseInControl() const { return FButton.Hovered(); }
    bool IsDown() const { return FButton.Down(); }
    // The control has the focus and its window shows where the focus is.
    bool ShowsFocusCue() const;

    // Everything stale, deferred.
    void Repaint();
    // Own state changed (hover, pressed, caption, enabled, font).
    void RepaintSelfImage();
    // What lies behind the control changed.
    void RepaintParentImage();
    void RepaintParentImageImmediately();
    void PaintParentImageToBuffer();

    static void AllMembersChangeSkinFile();
    static void AllMembersChangeSkinBackGround(TBaseSkinItem* AItem);
    // The live instances, or null when there are none.
    static const std::vector<TSkinCustomControl*>* ControlList() { return FControlList; }

protected:
    virtual bool NeedRebuildBuffer() const;
    virtual bool NeedRepaintParentBuffer() const;
    virtual bool NeedRepaintSelfBuffer() const;
    virtual IGPBitmap CreateSelfBufferGPBitmap();
    virtual void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect);
    virtual void AppendPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect);
    virtual void DesignPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect);
    // Paints the last composed picture, completed from the parent where the control has
    // grown since; shown while a rebuild is pending or when one failed.
    virtual void EraseBackground(QPainter& DC);
    virtual void ChangeSkinFile();
    virtual void ChangeSkinBackGroundItem(TBaseSkinItem* AItem);
    virtual void Loaded();

    // The whole pipeline: parent image, self image, composition. Nothing for an empty size.
    void PaintPipeline();

    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

    // Hover or the pressed look changed; controls that draw them repaint their own picture.
    virtual void ButtonLookChanged() {}
    // Where the focus cue goes, in the control's coordinates.
    virtual QRect FocusCueRect() const { return rect(); }
    // Composes the picture again without redrawing the control's own image (focus cue).
    void Recompose();

    bool FForceRepaintSelfImage = true;
    bool FForceRepaintParentImage = true;
    bool FForceRepaintSelfBuffer = true;
    bool FForceRepaintParentBuffer = true;
    bool FJustChangeSkinFile = true;
    bool FJustChangeSkinBackGround = true;
    bool FIsNeedAppendPaint = false;
    TGPRect FDrawGPRect;

private:
    void SetDrawRects();
    // ASelfChanged: the self image was just redrawn, so the composed picture is stale too.
    void PaintBuffer(bool ASelfChanged);
    void ApplySkinFont();

    QImage FBufferBitmap;
    std::unique_ptr<QImage> FParentImageBufferBitmap;
    IGPBitmap FSelfBufferGPBitmap;
    bool FUseSkinFont = true;
    bool FReSizeNotAlignControls = false;
    bool FFirstPainted = false;
    bool FTransparent = true;
    bool FEnableGdiPlusBuffer = true;
    bool FLoading = false;
    TButtonBehaviour FButton;
    TControlAction FControlAction = TControlAction::None;
    TSkinAnchors FSkinAnchors = akLeft | akTop;
    // Distances to the parent's right and bottom edges, kept while anchored there.
    int FAnchorRight = 0;
    int FAnchorBottom = 0;
    void CaptureAnchorDistances();
    void ApplyAnchors();
    QColor FColor = QColor(0xF0, 0xF0, 0xF0);

    static std::vector<TSkinCustomControl*>* FControlList;
};

// Base of the windowless controls on a skinned form's title area. The form draws their idle
// picture (the normal image) into its own buffer; the control paints itself (the self image)
// only while the mouse is over it or it shows the keyboard focus.
class TFormDrawSkinCustomControl : public QWidget {
public:
    explicit TFormDrawSkinCustomControl(QWidget* parent = nullptr);
    ~TFormDrawSkinCustomControl() override;
    TFormDrawSkinCustomControl(const TFormDrawSkinCustomControl&) = delete;
    TFormDrawSkinCustomControl& operator=(const TFormDrawSkinCustomControl&) = delete;

    virtual QString ClassName() const { return QStringLiteral("TFormDrawSkinCustomControl"); }

    bool MouseInClient() const { return FButton.Hovered(); }
    bool SelfPaint() const { return FSelfPaint; }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    const IGPBitmap& NormalBufferGPBitmap() const { return FNormalBufferGPBitmap; }
    const IGPBitmap& SelfBufferGPBitmap() const { return FSelfBufferGPBitmap; }

    TAnchorMargin AnchorMargin;
    int AnchorMarginType = -1;

    // The one hit test of the control, used by hover and click alike.
    virtual bool HitTest(const QPoint& pos) const { return rect().contains(pos); }
    // The control has the focus and its window shows where the focus is.
    bool ShowsFocusCue() const;
    // Clicks as the keyboard would (assistive technology's press); nothing while disabled or
    // hidden.
    void Activate();

    void Repaint();
    void RepaintSelfImage();
    void PaintNormalImageToBuffer();
    virtual bool NeedRepaintSelfImage() const;
    virtual bool NeedRepaintNormalImage() const;

    static void AllMembersChangeSkinFile();
    static void AllMembersChangeSkinBackGround(TBaseSkinItem* AItem);
    static const std::vector<TFormDrawSkinCustomControl*>* ControlList() { return FControlList; }

protected:
    virtual void PaintSelfImage(TGPGraphics& Graphics, const TGPRect& ADrawRect);
    virtual void PaintNormalImage(TGPGraphics& Graphics, const TGPRect& ADrawRect);
    virtual void ChangeSkinFile();
    virtual void ChangeSkinBackGroundItem(TBaseSkinItem* AItem);
    virtual void MouseEnter();
    virtual void MouseLeave();

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    // Hooks for the pressed look; a click is a release inside after a press inside, or Space
    // released, or Return, while the control has the focus.
    virtual void MouseDownChanged(bool /*down*/) {}
    virtual void Click() {}

    bool FForceRepaintNormalImage = true;
    bool FForceRepaintSelfImage = true;
    bool FSelfJustChangeSkinFile = true;
    bool FSelfJustChangeSkinBackGround = true;
    bool FNormalJustChangeSkinFile = true;
    bool FNormalJustChangeSkinBackGround = true;
    TGPRect FSelfDrawGPRect;
    TGPRect FNormalDrawGPRect;

private:
    void LookChanged();
    // The self image shows while hovered or while the focus cue shows.
    void UpdateSelfPaint();

    bool FSelfPaint = false;
    IGPBitmap FNormalBufferGPBitmap;
    IGPBitmap FSelfBufferGPBitmap;
    bool FUseSkinFont = true;
    TButtonBehaviour FButton;
    bool FHovered = false;
    bool FDown = false;

    static std::vector<TFormDrawSkinCustomControl*>* FControlList;
};

} // namespace velmora
