#pragma once

#include "skin/controls/ParentImage.h"
#include "skin/controls/SkinFormHitTest.h"
#include "skin/controls/SkinSystemButton.h"
#include "skin/controls/uShadowFrame.h"
#include "skin/drawing/GDIText.h"

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <memory>
#include <vector>

namespace velmora {

class TBaseSkinItem;
class TSkinFormStyleItem;
class TSkinTimer;
class TSufferBackGroundItem;
class TGDIBIGIMGPro;

// A top-level window without a system frame whose whole surface is painted from the skin:
// background, title area and the title-area controls, rounded corners, its own resize and
// move handling, an optional fade-in and a shadow window.
class TBaseSkinForm : public QWidget, public TSkinFormSurface {
public:
    explicit TBaseSkinForm(QWidget* parent = nullptr);
    ~TBaseSkinForm() override;
    TBaseSkinForm(const TBaseSkinForm&) = delete;
    TBaseSkinForm& operator=(const TBaseSkinForm&) = delete;

    virtual QString ClassName() const { return QStringLiteral("TBaseSkinForm"); }

    // The form draws nothing differently for them; controls whose top lies above the
    // transparent title's bottom take a new background item's text colour and a shadow.
    int TransparentTitleTop() const { return FTransparentTitleTop; }
    void SetTransparentTitleTop(int Value) { FTransparentTitleTop = Value; }
    bool IsEnabledTransparentTitle() const { return FIsEnabledTransparentTitle; }
    void SetIsEnabledTransparentTitle(bool Value) { FIsEnabledTransparentTitle = Value; }
    bool MinButtonToClose() const { return FMinButtonToClose; }

    bool ShowInTaskBar() const { return FShowInTaskBar; }
    void SetShowInTaskBar(bool Value);
    bool FullMove() const { return FFullMove; }
    void SetFullMove(bool Value) { FFullMove = Value; }
    bool IsDrawCaption() const { return FIsDrawCaption; }
    void SetIsDrawCaption(bool Value);
    void SetIsRoundRectWindow(bool Value);
    bool NotDelayShow() const { return FNotDelayShow; }
    void SetNotDelayShow(bool Value) { FNotDelayShow = Value; }
    bool ReSizeNotAlignControls() const { return FReSizeNotAlignControls; }
    void SetReSizeNotAlignControls(bool Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    virtual void SetBorderIcons(TBorderIcons Value);
    void SetTitleHeight(int Value);

    void SetSufferBackGroundName(const QString& AName);
    TSufferBackGroundItem* SufferBackGroundItem() const { return FSufferBackGroundItem; }
    // The skin's background item the form shows (the user's item in use), or null when there
    // is none or it has been destroyed since.
    TBaseSkinItem* BackGroundItem() const;
    // The texture of that item, drawn under the style's background picture.
    TGDIBIGIMGPro* TextureGdiImage() const;

    const TSkinFormStyleItem* FormStyleItem() const { return FFormStyleItem; }
    TFormShadowFrame* ShadowFrame() const { return FShadowFrame.get(); }
    bool EnabledShadow() const { return FEnabledShadow; }
    void EnableShadow(bool Value);

    TRect WindowRect() const { return MakeRectBySize(0, 0, width(), height()); }
    // Where the form's own controls go: inside the borders and below the title.
    TRect ClientLayoutRect() const;
    // The title band as left, top, right, bottom: the bottom is the title height itself, so a
    // top border eats into the band. Valid before the first paint.
    TRect TitleRect() const;
    const QImage& BufferBitmap() const { return FBufferBitmap; }
    // The hit-test code of a client point; hover (cursor) and press both use it.
    int HitTestAt(const QPoint& clientPos) const;

    const QImage* FormBufferImage() const override;
    const QImage* BackGroundBufferImage() const override;

    static const std::vector<TBaseSkinForm*>& FormList();

    virtual void RedrawWindow(bool ARedraw, bool ARegion);

protected:
    virtual void LoadFormStyle();
    virtual void ApplyFormStyle();
    virtual void ChangeSkinBackGroundFile(TBaseSkinItem* AItem);
    virtual void ChangeSkinBackGroundColor(TBaseSkinItem* AItem);
    virtual void ChangeSkinBackGroundCustomColor(TBaseSkinItem* AItem);
    virtual void ChangeSkinFile();
    virtual void ChangeSkinBackGroundItem(TBaseSkinItem* AItem);
    virtual void DrawFormFrame(TGPGraphics& Graphics);
    virtual void DrawCaption(TGPGraphics& Graphics, const TGPRect& ACaptionRect);
    virtual void DrawFormDrawControls(TGPGraphics& Graphics);
    virtual void UpdateWindowRegion(bool ARedraw);
    // Paints what is known while the buffer cannot be rebuilt: the buffer, completed from
    // the background where the form has grown since.
    virtual void EraseBkgndWindow(QPainter& DC);

    // True when no child widget lies under the point: only the form's own surface moves it.
    bool OnOwnSurface(const QPoint& clientPos) const;
    // The platform's interactive move and resize; tests observe them.
    virtual void StartSystemMove(const QPoint& clientPos);
    virtual void StartSystemResize(Qt::Edges edges);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    // Logs a failure of operation tag with this form's class and name.
    void LogFailure(const std::exception& error, const QString& tag) const;
    // Runs step, logging a failure with tag instead of letting it escape.
    template <typename Step> void Guarded(const QString& tag, const Step& step) {
        try {
            step();
        } catch (const std::exception& error) {
            LogFailure(error, tag);
        }
    }

    int FBorderTopHeight = 3;
    int FBorderLeftWidth = 3;
    int FBorderRightWidth = 3;
    int FBorderBottomHeight = 3;
    int FAppCaptionX = 10;
    int FAppCaptionY = 2;
    int FTitleHeight = 25;
    const TSkinFormStyleItem* FFormStyleItem = nullptr;

private:
    void RebuildBuffer(bool force);
    bool TitleControlsStale() const;
    void SelectBackGround();
    void ApplyContentsMargins();
    void StartFade();
    void FadeTick();
    void AttachShadow();
    void DetachShadow();
    void SetListening(bool listening);
    static TBaseSkinItem* BackGroundOfMessage(QEvent* event);
    void TellControlsOfBackGround();
    void PaintBackGround();

    bool FIsFirstShowed = false;
    bool FIsFirstDrawedWindow = false;
    int FTransparentTitleTop = 0;
    bool FIsEnabledTransparentTitle = false;
    bool FShowInTaskBar = true;
    bool FFullMove = true;
    bool FSkinLoaded = false;
    bool FMinButtonToClose = false;
    QString FSufferBackGroundName;
    TSufferBackGroundItem* FSufferBackGroundItem = nullptr;
    TSufferBackGroundItem* FLastSufferBackGroundItem = nullptr;
    // The item is owned by the skin manager's lists; the token tells whether it still lives.
    TBaseSkinItem* FBackGroundItem = nullptr;
    std::weak_ptr<void> FBackGroundItemAlive;
    // The composed background of the last full redraw, which children copy from while the
    // form's own buffer is smaller than they are.
    QImage FBackGroundPicture;
    // The skin changes the form has taken in; a form without a window hears of none and
    // catches up when its window is created.
    quint64 FSkinGeneration = 0;
    bool FIsDrawCaption = true;
    bool FIsRoundRectWindow = true;
    QImage FBufferBitmap;
    bool FNotDelayShow = true;
    std::unique_ptr<TSkinTimer> FShowTimer;
    std::unique_ptr<TFormShadowFrame> FShadowFrame;
    bool FEnabledShadow = false;
    bool FReSizeNotAlignControls = false;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    QRegion FWindowRegion;
    bool FListening = false;
    // Fallback dragging where the platform has no interactive move.
    bool FDragging = false;
    QPoint FDragOffset;
    // A press on the form's own surface that becomes a move once the pointer travels.
    bool FMovePending = false;
    QPoint FMovePressPos;
};

} // namespace velmora
