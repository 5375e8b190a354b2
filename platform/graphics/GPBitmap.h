#pragma once

#include "platform/graphics/DevicePixels.h"
#include "platform/system/Errors.h"

#include <QImage>
#include <QRgb>
#include <QString>
#include <memory>
#include <vector>

namespace velmora {

// Pixel formats by their drawing-platform numbers, so persisted values and callers that pass
// raw formats keep meaning the same thing.
enum class TGPPixelFormat : quint32 {
    Format24bppRGB = 0x21808,
    Format32bppRGB = 0x22009,
    Format32bppARGB = 0x26200A,
    Format32bppPARGB = 0xE200B,
};

QImage::Format ToQImageFormat(TGPPixelFormat format);
TGPPixelFormat FromQImageFormat(QImage::Format format);

VELMORA_DECLARE_ERROR(EGPBitmapError, EVelmoraError);

// The frames of a decoded multi-frame (or GIF) picture: every frame composed at full size, the
// raw format it was decoded from, and the frame delay list in hundredths of a second (the
// frame-delay property item 0x5100), which a picture may lack. Shared, never changed.
struct TGPFrameSet {
    QString RawFormat; // "GIF", "PNG", ...
    std::vector<QImage> Frames;
    std::vector<quint32> Delays;
    bool HasDelays = false;
};

// A bitmap of the skin engine. Pixels read or written through GetPixel/SetPixel are straight
// (non-premultiplied) ARGB whatever the storage, so values survive a write/read round trip.
// Bitmaps made here are 32-bit straight ARGB at 96 dots per inch; a decoded original keeps
// the storage the decoder produced.
//
// Sizes and pixel positions are logical. A bitmap is usually a picture of ratio 1; a buffer
// made for a window of more device pixels per logical pixel holds that many more pixels and
// carries its ratio (Ratio), and then GetPixel reads the first device pixel of a logical pixel
// and SetPixel fills all of them.
//
// A picture may carry variants: the same picture rendered at a higher ratio (1.5, 2) at the
// same logical size. Drawing picks the variant that fits its target (ImageFor); sizes and
// every geometry stay those of the picture itself. Changing the picture's pixels (SetPixel, a
// drawing surface on it, another frame) drops the variants, which would no longer match.
class TGPBitmap {
public:
    TGPBitmap(int width, int height, qreal ratio = 1);
    explicit TGPBitmap(QImage image);

    int Width() const { return LogicalSize(FImage).width(); }
    int Height() const { return LogicalSize(FImage).height(); }
    bool IsNull() const { return FImage.isNull(); }
    qreal Ratio() const { return FImage.devicePixelRatio(); }
    TGPPixelFormat PixelFormat() const { return FromQImageFormat(FImage.format()); }

    QRgb GetPixel(int x, int y) const;
    void SetPixel(int x, int y, QRgb argb);

    const QImage& Image() const { return FImage; }
    // For writing the pixels; a writer that changes the picture calls DropVariants.
    QImage& Image() { return FImage; }

    // Adds a rendering of the picture at a ratio above its own that has exactly the pixels of
    // the picture's logical size at that ratio (sides rounded up); false (and nothing added)
    // for any other. A variant of a ratio already held replaces it.
    bool AddVariant(QImage variant);
    const std::vector<QImage>& Variants() const { return FVariants; }
    void DropVariants() { FVariants.clear(); }
    // The picture to draw on a target of ARatio: the smallest rendering of at least that ratio,
    // else the largest there is; the picture itself at its own ratio or below.
    const QImage& ImageFor(qreal ARatio) const;

    // Frames of a decoded picture. A bitmap made in memory or decoded from a still picture
    // carries none: its raw format is empty, it has one frame and no delay list.
    void SetFrames(std::shared_ptr<const TGPFrameSet> frames);
    const QString& RawFormat() const;
    bool IsGif() const { return RawFormat() == QLatin1String("GIF"); }
    int FrameCount() const;
    int ActiveFrame() const { return FActiveFrame; }
    // The picture shows that frame from now on; EGPBitmapError for an index out of range.
    void SelectActiveFrame(int index);
    // The frame delays; EGPBitmapError when the picture holds no delay list.
    const std::vector<quint32>& FrameDelays() const;

private:
    QImage FImage;
    std::vector<QImage> FVariants; // by ascending ratio
    std::shared_ptr<const TGPFrameSet> FFrames;
    int FActiveFrame = 0;
};

// Shared bitmap: holders share one bitmap, it is freed with its last holder, and "the same
// bitmap" is a pointer comparison.
using IGPBitmap = std::shared_ptr<TGPBitmap>;

// Sizes a bitmap may have: a side of at most 32767 pixels and at most 1 GiB of pixels, so
// that a size read from a skin or computed from a window can never ask for absurd memory.
constexpr int MaxBitmapSide = 32767;
constexpr qint64 MaxBitmapBytes = qint64(1) << 30;
bool IsAllocatableSize(int width, int height);

// A new transparent 32-bit straight ARGB bitmap of a logical size at a ratio (its pixels are
// the size times the ratio, rounded up), or empty for a size outside those bounds or when
// memory is short.
IGPBitmap NewGPBitmap(int width, int height, qreal ratio = 1);

// Gives ATo, a picture made from the logical part ASource of AFrom, the same part of each of
// AFrom's variants, so a cut-out stays as sharp as its source.
void CropVariants(const TGPBitmap& AFrom, const QRect& ASource, TGPBitmap& ATo);

// Sets the resolution every bitmap and surface of the skin engine uses, so that point sizes
// turn into the same pixel sizes on every machine.
void SetSkinResolution(QImage& image);
constexpr int SkinDotsPerInch = 96;

} // namespace velmora
