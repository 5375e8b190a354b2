#pragma once

#include "platform/graphics/GPBitmap.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace velmora {

class TBaseSkinItem;

// Shadow margins in pixels, one per side.
struct TShadowMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const TShadowMargins&) const = default;
};

// A background a skinned form paints behind its client area. The form asks for a picture of
// its client size; the item keeps the last one it built so that children can still copy from
// it while the form's own buffer is smaller than they are.
class TSkinBackGround {
public:
    virtual ~TSkinBackGround() = default;
    virtual QString Name() const = 0;
    // Builds (or reuses) the picture for size and returns it; its size equals size.
    virtual const QImage& BuildBackground(QSize size) = 0;
    // The last picture built, or null before the first build.
    virtual const QImage* BackgroundBuffer() const = 0;
    virtual QColor AverageColor() const = 0;
    // The skin's background item this picture is drawn from, which controls read their
    // colours from; null for a picture that comes from no skin item.
    virtual TBaseSkinItem* SkinItem() const { return nullptr; }
};

// The pictures, positions and options of the skinned form's frame, as a skin provides them.
struct TSkinFormStyle {
    IGPBitmap MinBtnBmp_Normal, MinBtnBmp_Hover, MinBtnBmp_Down;
    IGPBitmap MaxBtnBmp_Normal, MaxBtnBmp_Hover, MaxBtnBmp_Down;
    IGPBitmap RestoreBtnBmp_Normal, RestoreBtnBmp_Hover, RestoreBtnBmp_Down;
    IGPBitmap CloseBtnBmp_Normal, CloseBtnBmp_Hover, CloseBtnBmp_Down;
    int CloseBtnRight = 38, CloseBtnTop = 1;
    int MaxBtnRight = 64, MaxBtnTop = 1;
    int MinBtnRight = 90, MinBtnTop = 1;
    int AppCaptionX = 10, AppCaptionY = 2;
    bool EnabledShadow = false;
    IGPBitmap ShadowBitmap;
    IGPBitmap ShadowTopBitmap, ShadowLeftBitmap, ShadowRightBitmap, ShadowBottomBitmap;
    TShadowMargins ShadowDrawMargin{8, 8, 8, 8};
    TShadowMargins ShadowSizeMargin;
    // The background catalogue; the style owns the items.
    std::vector<std::unique_ptr<TSkinBackGround>> SufferBackGrounds;

    // The item of that name; a catalogue of one unnamed item resolves every name to it.
    TSkinBackGround* FindBackGround(const QString& name) const;
};

// Where skinned forms take their style and background from, and whom they tell that they
// want the skin's change messages. The skin manager is the one provider of a program.
class TSkinFormStyleSource {
public:
    virtual ~TSkinFormStyleSource() = default;
    virtual bool SkinLoaded() const = 0;
    virtual const TSkinFormStyle* FormStyle() const = 0;
    // The background the user chose, or null.
    virtual TSkinBackGround* UserBackGround() const = 0;
    // The font of the skin, which controls that use the skin font take.
    virtual QFont SkinFont() const = 0;
    virtual void RegisterListener(QWidget* window) = 0;
    virtual void UnregisterListener(QWidget* window) = 0;
    // The background a background message carries in its first parameter.
    virtual TSkinBackGround* BackGroundOfMessage(quintptr wParam) {
        return reinterpret_cast<TSkinBackGround*>(wParam);
    }
};

// The provider every skinned form reads; null means "no skin", and forms then keep their
// construction values.
TSkinFormStyleSource* SkinFormStyleSource();
void SetSkinFormStyleSource(TSkinFormStyleSource* source);

// A background made of one picture stretched over the client area, or of one colour. The
// top fixedTop rows of the picture (a title band) keep their height and stretch sideways only.
class TPictureBackGround final : public TSkinBackGround {
public:
    TPictureBackGround(QString name, IGPBitmap picture, QColor color, int fixedTop = 0);
    QString Name() const override { return FName; }
    const QImage& BuildBackground(QSize size) override;
    const QImage* BackgroundBuffer() const override;
    QColor AverageColor() const override { return FAverage; }
    int BuildCount() const { return FBuildCount; }

private:
    QString FName;
    IGPBitmap FPicture;
    QColor FColor;
    QColor FAverage;
    int FFixedTop = 0;
    QImage FBuffer;
    int FBuildCount = 0;
};

} // namespace velmora
