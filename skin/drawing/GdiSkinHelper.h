#pragma once

#include "platform/graphics/GPBitmap.h"
#include "platform/graphics/GPGraphics.h"
#include "platform/system/Errors.h"
#include "skin/drawing/SkinTypes.h"

#include <QIODevice>
#include <QImage>
#include <QString>

namespace velmora {

class TGDIIMGADV;
class TGDIText;

VELMORA_DECLARE_ERROR(ESkinResourceNotFound, EVelmoraError);
VELMORA_DECLARE_ERROR(ESkinBitmapError, EVelmoraError);

// Class-level drawing services of the skin engine: bitmap factories, nine-slice drawing and
// text helpers. It has no state and no instances.
class TSkinHelper {
public:
    TSkinHelper() = delete;
    static QString ClassName() { return QStringLiteral("TSkinHelper"); }

    // Bitmap factories. Each yields an empty bitmap when there is nothing to decode; the
    // variants with a log tag log their failures and yield an empty bitmap as well.
    static IGPBitmap CreateBitmap(QIODevice* AStream);
    static IGPBitmap CreateBitmap(const QString& AFileName);
    static IGPBitmap CreateBitmap(const QString& AResName, const QString& ATypeName);
    static IGPBitmap CreateBitmap(const QImage& AGraphic);
    static IGPBitmap CreateBitmapBySize(QIODevice* AStream, int AWidth, int AHeight);
    static IGPBitmap CreateBitmapBySize(const QString& AFileName, int AWidth, int AHeight);
    static IGPBitmap CreateOriginalBitmap(QIODevice* AStream);
    static IGPBitmap CreateOriginalBitmap(const QString& AFileName);
    static IGPBitmap CreateOriginalBitmap(const QString& AResName, const QString& ATypeName);
    static IGPBitmap CreateOriginalBitmap(const QImage& AGraphic);

    // The Qt resource path of a named resource of a type: ":/TYPE/NAME".
    static QString ResourcePath(const QString& AResName, const QString& ATypeName);

    // Image drawing.
    static void StretchDrawImageInRect(TGPGraphics& Graphics, const IGPBitmap& ABitmap,
                                       const TGPRect& ADrawRect);
    static void StretchDrawImageInRectByMargins(TGPGraphics& Graphics, const IGPBitmap& ABitmap,
                                                const TGPRect& ADrawRect, int ALeftMargin,
                                                int ATopMargin, int ARightMargin, int ABottomMargin,
                                                TStretchMode AStretchMode = smStretchBoth);
    static void StretchDrawImageBorderInRectByMargins(TGPGraphics& Graphics,
                                                      const IGPBitmap& ABitmap,
                                                      const TGPRect& ADrawRect, int ALeftMargin,
                                                      int ATopMargin, int ARightMargin,
                                                      int ABottomMargin);

    // Nine-slice elements. Attr, when given, is a constant opacity the frame is drawn with.
    static void DrawButtonFrame(TGPGraphics& Graphics, TGDIIMGADV* AGdiImgAdv,
                                const TGPRect& ADrawRect, const qreal* Attr = nullptr);
    static void InitGdiImgAdv(TGDIIMGADV* AGdiImgAdv, const IGPBitmap& Value, int HorzMargin,
                              int VertMargin);
    // Only the left (or right) DropDownWidth + 4 pixels of the picture are shown.
    static void InitLeftGdiImgAdv(TGDIIMGADV* AGdiImgAdv, const IGPBitmap& Value,
                                  int DropDownWidth);
    static void InitRightGdiImgAdv(TGDIIMGADV* AGdiImgAdv, const IGPBitmap& Value,
                                   int DropDownWidth);

    // Text.
    static void DrawText(TGPGraphics& Graphics, const QString& S, const TFrameworkFont& AFont,
                         float X, float Y, bool bDirectionVertical);
    // Places the text element at the rectangle with the caption and paints it at (0, 0).
    static void DrawGDIText(TGPGraphics& Graphics, TGDIText* AGDIText, int ALeft, int ATop,
                            int AWidth, int AHeight, const QString& ACaption);
    static void DrawGDIText(TGPGraphics& Graphics, TGDIText* AGDIText, const TGPRect& ARect,
                            const QString& ACaption);
    // The same without catching failures.
    static void DrawRectText(TGPGraphics& Graphics, TGDIText* AGDIText, const QString& S, int ALeft,
                             int ATop, int AWidth, int AHeight);

private:
    static IGPBitmap DecodeToArgb(const QByteArray& data);
    static IGPBitmap DecodeOriginal(const QByteArray& data);
    static QByteArray ReadAll(QIODevice* AStream);
    static QByteArray ReadResource(const QString& AResName, const QString& ATypeName);
    static QByteArray EncodeGraphic(const QImage& AGraphic);
};

// Returns memory the process no longer uses to the system (the heap's free pages); the skin
// manager calls it after a new skin or background is applied.
void ClearMemory();

} // namespace velmora
