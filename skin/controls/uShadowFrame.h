#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/data/SkinDataTypes.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>

namespace velmora {

class TDesktopWindows;
class TFrameWatch;
class TShadowSurface;
class TSkinTimer;

// Shadow margins in pixels, one per side.
struct TShadowMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TShadowMargins&) const = default;
};

inline TShadowMargins ShadowMarginsOf(const TMargin& AMargin) {
    return TShadowMargins{AMargin.LeftMargin, AMargin.TopMargin, AMargin.RightMargin,
                          AMargin.BottomMargin};
}

// The soft shadow around a skinned form: the picture, fade and visibility rules of a window
// that stays directly behind its form, follows it, fades in when activated and hides while the
// form is minimised, maximised or hidden. The picture is shown by a separate translucent
// window only where the desktop composes such windows and lets the program place them (X11
// with a compositing manager); elsewhere (X11 without one, Wayland, offscreen) the shadow keeps
// its state and shows nothing, and it comes and goes as a compositing manager starts or stops.
class TFormShadowFrame : public QObject {
public:
    // The desktop is the one current when the shadow is made; the form owns the shadow.
    TFormShadowFrame();
    ~TFormShadowFrame() override;
    TFormShadowFrame(const TFormShadowFrame&) = delete;
    TFormShadowFrame& operator=(const TFormShadowFrame&) = delete;

    static QString ClassName() { return QStringLiteral("TFormShadowFrame"); }

    QWidget* ParentForm() const { return FParentForm; }
    void SetParentForm(QWidget* Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value);

    const IGPBitmap& ShadowBitmap() const { return FShadowBitmap; }
    void SetShadowBitmap(const IGPBitmap& Value);
    const IGPBitmap& ShadowTopBitmap() const { return FShadowTopBitmap; }
    void SetShadowTopBitmap(const IGPBitmap& Value);
    const IGPBitmap& ShadowLeftBitmap() const { return FShadowLeftBitmap; }
    void SetShadowLeftBitmap(const IGPBitmap& Value);
    const IGPBitmap& ShadowRightBitmap() const { return FShadowRightBitmap; }
    void SetShadowRightBitmap(const IGPBitmap& Value);
    const IGPBitmap& ShadowBottomBitmap() const { return FShadowBottomBitmap; }
    void SetShadowBottomBitmap(const IGPBitmap& Value);
    const TShadowMargins& ShadowDrawMargin() const { return FShadowDrawMargin; }
    void SetShadowDrawMargin(const TShadowMargins& Value);
    const TShadowMargins& ShadowSizeMargin() const { return FShadowSizeMargin; }
    void SetShadowSizeMargin(const TShadowMargins& Value);

    // True when the pictures can make a shadow: a nine-slice picture or all four strips.
    bool HasShadowPictures() const;

    // The constant alpha of the fade, 0 to 255.
    int ShowAlpha() const { return FShowAlpha; }
    // The picture as last built, at the device pixel ratio of the screen it is shown on; its
    // alpha channel shapes the shadow.
    const QImage& BlendBitmap() const { return FBlendBmp; }
    int RebuildCount() const { return FRebuildCount; }

    // The window that shows the picture, or null where the desktop cannot show one.
    TShadowSurface* Surface() const { return FSurface.get(); }
    // The shadow is on the screen.
    bool IsShown() const;
    // Where the shadow was put last, logical pixels.
    const QRect& Geometry() const { return FGeometry; }

    // Pushes the current picture and alpha to the screen.
    void AdjustBlendMasks(bool CalledFromInternal);

    // Where the shadow belongs for a form at formGeometry: a pure function of the pictures.
    QRect ShadowGeometryFor(const QRect& formGeometry) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdatePosition();
    void FormPositionChanged();
    void HideBehindForm();
    void Rebuild();
    void FadeTick();
    bool FormIsNormal() const;
    bool FormWindowExists() const;
    bool SurfaceWanted() const;
    void SyncSurface();
    void DropSurface();
    void PlaceBehindForm(const QRect& geometry, bool show);
    void FollowFrame(const QPoint& formTopLeft);
    void FrameMapped(bool mapped);
    void DesktopChanged();

    QPointer<QWidget> FParentForm;
    bool FActive = false;
    QImage FBlendBmp;
    bool FNeedRebuildBlend = true;
    IGPBitmap FShadowRightBitmap, FShadowBottomBitmap, FShadowTopBitmap, FShadowLeftBitmap;
    IGPBitmap FShadowBitmap;
    TShadowMargins FShadowDrawMargin{8, 8, 8, 8};
    TShadowMargins FShadowSizeMargin;
    int FShowAlpha = 0;
    std::unique_ptr<TSkinTimer> FShowTimer;
    int FRebuildCount = 0;
    QRect FGeometry;
    TDesktopWindows& FDesktop;
    int FDesktopListener = 0;
    std::unique_ptr<TShadowSurface> FSurface;
    std::unique_ptr<TFrameWatch> FFrameWatch;
};

// The shadow's picture for a form of formSize, drawn at ratio device pixels per logical pixel
// and carrying that ratio; its logical size is ShadowGeometryFor's.
QImage DrawShadowPicture(const TFormShadowFrame& shadow, const QSize& formSize, qreal ratio);

} // namespace velmora
