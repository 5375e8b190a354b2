#pragma once

#include "platform/graphics/GPBitmap.h"

#include <QByteArray>
#include <QIcon>
#include <QRect>
#include <QString>
#include <memory>

namespace velmora {

// The locked view of a bitmap's pixels.
struct TBitmapData {
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    TGPPixelFormat PixelFormat = TGPPixelFormat::Format32bppARGB;
    uchar* Scan0 = nullptr;
};

// The sole owner of one bitmap, with direct pixel access for code that works on pixels.
// Width and height are read back after every (re)creation; a picture that cannot be made
// leaves an empty bitmap of size 0.
class TGdipBitmap {
public:
    TGdipBitmap(int Width, int Height);
    // Over caller-owned pixels, which must outlive this object.
    TGdipBitmap(int Width, int Height, int Stride, TGPPixelFormat Format, uchar* Bits);
    explicit TGdipBitmap(const QString& FileName);
    explicit TGdipBitmap(const QIcon& Icon);
    explicit TGdipBitmap(const TGPBitmap& Bitmap);
    TGdipBitmap(const TGdipBitmap& Bitmap);
    TGdipBitmap& operator=(const TGdipBitmap&) = delete;
    ~TGdipBitmap();

    static std::unique_ptr<TGdipBitmap> CreateFromBitmap(std::unique_ptr<TGPBitmap> Bitmap);

    void ReCreate(int Width, int Height);
    void Assign(const TGPBitmap& Bitmap);
    // A Width x Height thumbnail of Bitmap.
    void Assign(const TGPBitmap& Bitmap, int Width, int Height);

    // Locks the whole bitmap for reading and writing in the given format; a second lock
    // while locked does nothing. Unlocking writes converted pixels back.
    void LockBits(TGPPixelFormat PixelFormat = TGPPixelFormat::Format32bppARGB);
    void UnLockBits();

    QRect GetRect() const { return QRect(0, 0, FWidth, FHeight); }
    qint64 GetSize() const { return qint64(FWidth) * FHeight * 4; }
    // Encodes with the named encoder ("PNG", "BMP", "JPEG").
    bool SaveToFile(const QString& FileName, const QByteArray& Encoder) const;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool IsLock() const { return FIsLock; }
    uchar* Bits() const { return FBits; }
    const TBitmapData& BitmapData() const { return FBitmapData; }
    TGPBitmap* GPBitmap() const { return FGPBitmap.get(); }

private:
    TGdipBitmap() = default;
    void Replace(std::unique_ptr<TGPBitmap> bitmap);

    int FWidth = 0;
    int FHeight = 0;
    TBitmapData FBitmapData;
    uchar* FBits = nullptr;
    bool FIsLock = false;
    QImage FLockedCopy; // pixels in the locked format when it differs from the stored one
    std::unique_ptr<TGPBitmap> FGPBitmap;
};

} // namespace velmora
