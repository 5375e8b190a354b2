#pragma once

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

// A bitmap of the skin engine. Pixels read or written through GetPixel/SetPixel are straight
// (non-premultiplied) ARGB whatever the storage, so values survive a write/read round trip.
// Bitmaps made here are 32-bit straight ARGB at 96 dots per inch; a decoded original keeps
// the storage the decoder produced.
//
// A decoded animation carries every frame and its delay; the frame selected last is the one
// Image() shows and pixel access reaches. A still picture holds no frame list at all.
class TGPBitmap {
public:
    TGPBitmap(int width, int height);
    explicit TGPBitmap(QImage image);
    // frames must not be empty; delaysMs gives one delay per frame (missing ones count 0).
    TGPBitmap(std::vector<QImage> frames, std::vector<int> delaysMs, QString rawFormat);

    // The container the picture was decoded from ("PNG", "JPEG", "GIF", "BMP"), or empty for a
    // bitmap made in memory.
    const QString& RawFormat() const { return FRawFormat; }
    int FrameCount() const;
    int ActiveFrame() const { return FActiveFrame; }
    // Makes frame index the one shown; pixels written to the previous frame are kept with it.
    // An index outside the frames changes nothing and answers false.
    bool SelectActiveFrame(int index);
    // The delay of frame index in milliseconds, 0 for a still picture or an index outside.
    int FrameDelay(int index) const;

    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    bool IsNull() const { return FImage.isNull(); }
    TGPPixelFormat PixelFormat() const { return FromQImageFormat(FImage.format()); }

    QRgb GetPixel(int x, int y) const;
    void SetPixel(int x, int y, QRgb argb);

    const QImage& Image() const { return FImage; }
    QImage& Image() { return FImage; }

private:
    struct TFrames {
        std::vector<QImage> Images;
        std::vector<int> DelaysMs;
    };

    QImage FImage;
    QString FRawFormat;
    std::unique_ptr<TFrames> FFrames; // only for pictures of more than one frame
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

// A new transparent 32-bit straight ARGB bitmap, or empty for a size outside those bounds or
// when memory is short.
IGPBitmap NewGPBitmap(int width, int height);

// Sets the resolution every bitmap and surface of the skin engine uses, so that point sizes
// turn into the same pixel sizes on every machine.
void SetSkinResolution(QImage& image);
constexpr int SkinDotsPerInch = 96;

} // namespace velmora
