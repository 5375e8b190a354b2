#pragma once

#include "platform/graphics/GPBitmap.h"
#include "platform/graphics/GPGraphics.h"
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
    bool FirstPainted() const { return FFirstPainted; }
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
    TSkinAnchors SkinAnchors() const { return FSkinAnchors; }

    // A click is a left press and release inside the control; a press whose release can no
    // longer arrive here (hidden, disabled, the mouse taken elsewhere) is forgotten.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    virtual void Click();

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
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

    bool FForceRepaintSelfImage = true;
    bool FForceRepaintParentImage = true;
    bool FForceRepaintSelfBuffer = true;
    bool FForceRepaintParentBuffer = true;
    bool FJustChangeSkinFile = true;
    bool FJustChangeSkinBackGround = true;
    bool FIsNeedAppendPaint = false;
    TGPRect FDrawGPRect;
    TRect FDrawRect;

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
    bool FClickPressed = false;
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
// only while the mouse is over it.
class TFormDrawSkinCustomControl : public QWidget {
public:
    explicit TFormDrawSkinCustomControl(QWidget* parent = nullptr);
    ~TFormDrawSkinCustomControl() override;
    TFormDrawSkinCustomControl(const TFormDrawSkinCustomControl&) = delete;
    TFormDrawSkinCustomControl& operator=(const TFormDrawSkinCustomControl&) = delete;

    virtual QString ClassName() const { return QStringLiteral("TFormDrawSkinCustomControl"); }

    bool MouseInClient() const { return FMouseInClient; }
    bool SelfPaint() const { return FSelfPaint; }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    const IGPBitmap& NormalBufferGPBitmap() const { return FNormalBufferGPBitmap; }
    const IGPBitmap& SelfBufferGPBitmap() const { return FSelfBufferGPBitmap; }

    TAnchorMargin AnchorMargin;
    int AnchorMarginType = -1;

    // The one hit test of the control, used by hover and click alike.
    virtual bool HitTest(const QPoint& pos) const { return rect().contains(pos); }

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

    bool IsPressed() const { return FPressed; }
    // Hooks for the pressed state; a click is a release inside after a press inside.
    virtual void MouseDownChanged(bool /*down*/) {}
    virtual void Click() {}

    bool FForceRepaintNormalImage = true;
    bool FForceRepaintSelfImage = true;
    bool FSelfJustChangeSkinFile = true;
    bool FSelfJustChangeSkinBackGround = true;
    bool FNormalJustChangeSkinFile = true;
    bool FNormalJustChangeSkinBackGround = true;
    bool FIsNeedAppendPaint = false;
    TGPRect FSelfDrawGPRect;
    TRect FSelfDrawRect;
    TGPRect FNormalDrawGPRect;
    TRect FNormalDrawRect;

private:
    void SetHovered(bool hovered);
    // A press that can no longer end in a release here is forgotten, without a click.
    void CancelPress();

    bool FSelfPaint = false;
    IGPBitmap FNormalBufferGPBitmap;
    IGPBitmap FSelfBufferGPBitmap;
    bool FUseSkinFont = true;
    bool FMouseInClient = false;
    bool FPressed = false;

    static std::vector<TFormDrawSkinCustomControl*>* FControlList;
};

} // namespace velmora
