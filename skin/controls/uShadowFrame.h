#pragma once

#include "platform/graphics/GPBitmap.h"
#include "skin/data/SkinDataTypes.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace velmora {

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

// The soft shadow around a skinned form: a frameless, click-through top-level window with
// per-pixel alpha that stays directly behind its form, follows it, fades in when activated
// and hides while the form is minimised, maximised or hidden.
class TFormShadowFrame : public QWidget {
public:
    // A top-level window of its own with no parent, so that no window manager keeps it
    // above the form it shadows; the form owns it.
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
    // The picture as last built; its alpha channel shapes the shadow.
    const QImage& BlendBitmap() const { return FBlendBmp; }
    int RebuildCount() const { return FRebuildCount; }

    // Pushes the current picture and alpha to the screen.
    void AdjustBlendMasks(bool CalledFromInternal);

    // Where the shadow belongs for a form at formGeometry: a pure function of the pictures.
    QRect ShadowGeometryFor(const QRect& formGeometry) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdatePosition();
    void FormPositionChanged();
    void HideBehindForm();
    void Rebuild();
    void FadeTick();
    bool FormIsNormal() const;
    bool FormWindowExists() const;
    void PlaceBehindForm(const QRect& geometry, bool show);

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
};

} // namespace velmora
