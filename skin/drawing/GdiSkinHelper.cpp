#include "skin/drawing/GdiSkinHelper.h"

#include "platform/graphics/PictureDecoder.h"
#include "platform/system/ImageHeap.h"
#include "skin/drawing/GDIIMGADV.h"
#include "skin/drawing/GDIText.h"
#include "skin/drawing/NineSlice.h"
#include "skin/drawing/SkinColors.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <malloc.h>

namespace velmora {
namespace {

// Runs body; any failure becomes one skin engine log entry with tag and an empty result.
template <typename Body> IGPBitmap Logged(const QString& tag, Body body) {
    try {
        return body();
    } catch (const std::exception& error) {
        LogSkinFailure(TSkinHelper::ClassName(), nullptr, &error, tag);
    }
    return {};
}

QByteArray ReadFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ESkinBitmapError(
            QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString()));
    return file.readAll();
}

// The pixels a PNG of APicture decodes to, without the PNG; a null image where only the
// encoder knows (sixteen bits a channel, one bit a pixel).
QImage PngEquivalent(const QImage& APicture) {
    switch (APicture.format()) {
    case QImage::Format_ARGB32:
    case QImage::Format_RGB32:
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
        return APicture;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Grayscale16:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
    case QImage::Format_BGR30:
    case QImage::Format_A2BGR30_Premultiplied:
    case QImage::Format_RGB30:
    case QImage::Format_A2RGB30_Premultiplied:
    case QImage::Format_RGBX16FPx4:
    case QImage::Format_RGBA16FPx4:
    case QImage::Format_RGBA16FPx4_Premultiplied:
    case QImage::Format_RGBX32FPx4:
    case QImage::Format_RGBA32FPx4:
    case QImage::Format_RGBA32FPx4_Premultiplied:
        return QImage();
    default:
        return APicture.convertToFormat(APicture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                   : QImage::Format_RGB32);
    }
}

} // namespace

QString TSkinHelper::ResourcePath(const QString& AResName, const QString& ATypeName) {
    return QStringLiteral(":/%1/%2").arg(ATypeName, AResName);
}

QByteArray TSkinHelper::ReadAll(QIODevice* AStream) {
    if (AStream == nullptr || !AStream->isReadable())
        return {};
    if (!AStream->isSequential())
        AStream->seek(0);
    return AStream->readAll();
}

QByteArray TSkinHelper::ReadResource(const QString& AResName, const QString& ATypeName) {
    QFile resource(ResourcePath(AResName, ATypeName));
    if (!resource.open(QIODevice::ReadOnly))
        throw ESkinResourceNotFound(
            QStringLiteral("resource %1 of type %2 not found").arg(AResName, ATypeName));
    return resource.readAll();
}

QByteArray TSkinHelper::EncodeGraphic(const QImage& AGraphic) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!AGraphic.save(&buffer, "PNG"))
        throw ESkinBitmapError(QStringLiteral("picture cannot be encoded"));
    return bytes;
}

IGPBitmap TSkinHelper::DecodeOriginal(const QByteArray& data) {
    TDecodedPicture picture = DecodePicture(data);
    if (!picture.Ok())
        throw EPictureDecodeError(picture.Error);
    if (picture.Format != QLatin1String("GIF") && picture.FrameCount() == 1)
        return std::make_shared<TGPBitmap>(std::move(picture.Frames.front()));
    // A GIF (or any picture of several frames) keeps every frame and its delays, so an image
    // box can play it; a still picture carries nothing more.
    auto frames = std::make_shared<TGPFrameSet>();
    frames->RawFormat = picture.Format;
    frames->HasDelays = picture.Format == QLatin1String("GIF");
    for (int delayMs : picture.DelaysMs)
        frames->Delays.push_back(static_cast<quint32>(std::max(0, delayMs) / 10));
    for (QImage& frame : picture.Frames) {
        SetSkinResolution(frame);
        frames->Frames.push_back(std::move(frame));
    }
    auto bitmap = std::make_shared<TGPBitmap>(frames->Frames.front());
    bitmap->SetFrames(std::move(frames));
    return bitmap;
}

IGPBitmap TSkinHelper::DecodeToArgb(const QByteArray& data) {
    const IGPBitmap decoded = DecodeOriginal(data);
    // The result is a bitmap of its own, drawn from the decoded one, so it never shares
    // anything with the stream or the decoder.
    IGPBitmap result = NewGPBitmap(decoded->Width(), decoded->Height());
    if (!result)
        throw ESkinBitmapError(QStringLiteral("out of memory for the bitmap"));
    TGPGraphics graphics(*result);
    graphics.CopyRect(decoded->Image(), decoded->Image().rect(), QPoint(0, 0));
    return result;
}

IGPBitmap TSkinHelper::CreateBitmap(QIODevice* AStream) {
    const QByteArray data = ReadAll(AStream);
    if (data.isEmpty())
        return {};
    return DecodeToArgb(data);
}

IGPBitmap TSkinHelper::CreateBitmap(const QString& AFileName) {
    if (!QFileInfo(AFileName).isFile())
        return {};
    return Logged(QStringLiteral("CreateBitmapThrough FileName"), [&] {
        QByteArray data = ReadFile(AFileName);
        QBuffer stream(&data);
        stream.open(QIODevice::ReadOnly);
        return CreateBitmap(&stream);
    });
}

IGPBitmap TSkinHelper::CreateBitmap(const QString& AResName, const QString& ATypeName) {
    QByteArray data = ReadResource(AResName, ATypeName);
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    return CreateBitmap(&stream);
}

IGPBitmap TSkinHelper::CreateBitmap(const QImage& AGraphic) {
    if (AGraphic.isNull())
        return {};
    return Logged(QStringLiteral("CreateBitmap"), [&] {
        // The bitmap is what saving the picture as PNG and loading that stream would give.
        // For eight bits a channel that stream holds the same pixels (one premultiplied by its
        // alpha is written unpremultiplied), so they are drawn over directly: encoding and
        // decoding every picture of a window took a third of its build. Deeper and one-bit
        // pictures still take the stream's way.
        QImage pixels = PngEquivalent(AGraphic);
        if (pixels.isNull()) {
            QByteArray data = EncodeGraphic(AGraphic);
            QBuffer stream(&data);
            stream.open(QIODevice::ReadOnly);
            return CreateBitmap(&stream);
        }
        pixels.setDevicePixelRatio(1);
        IGPBitmap result = NewGPBitmap(pixels.width(), pixels.height());
        if (!result)
            throw ESkinBitmapError(QStringLiteral("out of memory for the bitmap"));
        TGPGraphics graphics(*result);
        graphics.CopyRect(pixels, pixels.rect(), QPoint(0, 0));
        return result;
    });
}

IGPBitmap TSkinHelper::CreateBitmapBySize(QIODevice* AStream, int AWidth, int AHeight) {
    return Logged(QStringLiteral("CreateBitmapThrough Stream"), [&]() -> IGPBitmap {
        const QByteArray data = ReadAll(AStream);
        if (data.isEmpty())
            return {};
        const IGPBitmap decoded = DecodeOriginal(data);
        IGPBitmap result = NewGPBitmap(AWidth, AHeight);
        if (!result)
            throw ESkinBitmapError(
                QStringLiteral("invalid bitmap size %1 x %2").arg(AWidth).arg(AHeight));
        TGPGraphics graphics(*result);
        graphics.DrawImage(*decoded, QRectF(0, 0, AWidth, AHeight));
        return result;
    });
}

IGPBitmap TSkinHelper::CreateBitmapBySize(const QString& AFileName, int AWidth, int AHeight) {
    if (!QFileInfo(AFileName).isFile())
        return {};
    return Logged(QStringLiteral("CreateBitmapBySizeThrough FileName"), [&] {
        QByteArray data = ReadFile(AFileName);
        QBuffer stream(&data);
        stream.open(QIODevice::ReadOnly);
        return CreateBitmapBySize(&stream, AWidth, AHeight);
    });
}

IGPBitmap TSkinHelper::CreateOriginalBitmap(QIODevice* AStream) {
    return Logged(QStringLiteral("CreateOriginalBitmap"), [&]() -> IGPBitmap {
        const QByteArray data = ReadAll(AStream);
        if (data.isEmpty())
            return {};
        return DecodeOriginal(data);
    });
}

IGPBitmap TSkinHelper::CreateOriginalBitmap(const QString& AFileName) {
    if (!QFileInfo(AFileName).isFile())
        return {};
    return Logged(QStringLiteral("CreateOriginalBitmap"), [&] {
        QByteArray data = ReadFile(AFileName);
        QBuffer stream(&data);
        stream.open(QIODevice::ReadOnly);
        return CreateOriginalBitmap(&stream);
    });
}

IGPBitmap TSkinHelper::CreateOriginalBitmap(const QString& AResName, const QString& ATypeName) {
    QByteArray data = ReadResource(AResName, ATypeName); // a missing resource reaches the caller
    if (data.isEmpty())
        return {};
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    return CreateOriginalBitmap(&stream);
}

IGPBitmap TSkinHelper::CreateOriginalBitmap(const QImage& AGraphic) {
    if (AGraphic.isNull())
        return {};
    return Logged(QStringLiteral("CreateOriginalBitmap"), [&] {
        QByteArray data = EncodeGraphic(AGraphic);
        QBuffer stream(&data);
        stream.open(QIODevice::ReadOnly);
        return CreateOriginalBitmap(&stream);
    });
}

void TSkinHelper::StretchDrawImageInRect(TGPGraphics& Graphics, const IGPBitmap& ABitmap,
                                         const TGPRect& ADrawRect) {
    if (!ABitmap)
        return;
    Graphics.DrawImage(*ABitmap, QRectF(ADrawRect.ToQRect()));
}

void TSkinHelper::StretchDrawImageInRectByMargins(TGPGraphics& Graphics, const IGPBitmap& ABitmap,
                                                  const TGPRect& ADrawRect, int ALeftMargin,
                                                  int ATopMargin, int ARightMargin,
                                                  int ABottomMargin, TStretchMode AStretchMode) {
    if (!ABitmap)
        return;
    const int bw = ABitmap->Width();
    const int bh = ABitmap->Height();
    const auto pieces = NineSlicePieces(bw, bh, ADrawRect.ToQRect(), ALeftMargin, ATopMargin,
                                        ARightMargin, ABottomMargin);
    const size_t count = AStretchMode == smStretchBoth ? 9 : 8;
    for (size_t i = 0; i < count; ++i) {
        if (IsDrawablePiece(pieces[i], bw, bh))
            Graphics.DrawImage(*ABitmap, QRectF(pieces[i].Dest), QRectF(pieces[i].Source));
    }
}

void TSkinHelper::StretchDrawImageBorderInRectByMargins(TGPGraphics& Graphics,
                                                        const IGPBitmap& ABitmap,
                                                        const TGPRect& ADrawRect, int ALeftMargin,
                                                        int ATopMargin, int ARightMargin,
                                                        int ABottomMargin) {
    // Any mode other than stretching both ways leaves the centre out.
    StretchDrawImageInRectByMargins(Graphics, ABitmap, ADrawRect, ALeftMargin, ATopMargin,
                                    ARightMargin, ABottomMargin, smTileBoth);
}

void TSkinHelper::DrawText(TGPGraphics& Graphics, const QString& S, const TFrameworkFont& AFont,
                           float X, float Y, bool bDirectionVertical) {
    const QFont font = MakeFont(
        {AFont.Name, static_cast<float>(AFont.Size), AFont.Style & FontStyleMask, UnitPixel});
    const TGPColor color = ColorToGPColor(AFont.Color);
    if (bDirectionVertical) {
        TGPStringFormat format;
        format.Flags = StringFormatFlagsDirectionVertical;
        Graphics.DrawString(S, font, color, QPointF(X, Y), &format);
    } else {
        Graphics.DrawString(S, font, color, QPointF(X, Y));
    }
}

void TSkinHelper::DrawButtonFrame(TGPGraphics& Graphics, TGDIIMGADV* AGdiImgAdv,
                                  const TGPRect& ADrawRect, const qreal* Attr) {
    if (AGdiImgAdv == nullptr || !AGdiImgAdv->Image())
        return;
    AGdiImgAdv->SetWidth(ADrawRect.Width);
    AGdiImgAdv->SetHeight(ADrawRect.Height);
    AGdiImgAdv->SetDeviceRatio(Graphics.Ratio());
    AGdiImgAdv->Build();
    const IGPBitmap& buffer = AGdiImgAdv->BufferGPBitmap();
    if (!buffer)
        return;
    if (Attr != nullptr) {
        QPainter& painter = Graphics.Painter();
        const qreal opacity = painter.opacity();
        painter.setOpacity(*Attr);
        Graphics.DrawImage(*buffer, QRectF(ADrawRect.ToQRect()));
        painter.setOpacity(opacity);
    } else {
        Graphics.DrawImage(*buffer, ADrawRect.X, ADrawRect.Y);
    }
}

void TSkinHelper::InitGdiImgAdv(TGDIIMGADV* AGdiImgAdv, const IGPBitmap& Value, int HorzMargin,
                                int VertMargin) {
    if (AGdiImgAdv == nullptr || !Value)
        return;
    AGdiImgAdv->SetImage(Value);
    AGdiImgAdv->SetMargin(HorzMargin, VertMargin, HorzMargin, VertMargin);
    AGdiImgAdv->SetStrecthMode(smStretchBoth);
}

void TSkinHelper::InitLeftGdiImgAdv(TGDIIMGADV* AGdiImgAdv, const IGPBitmap& Value,
                                    int DropDownWidth) {
    InitGdiImgAdv(AGdiImgAdv, Value, 4, 4);
    if (AGdiImgAdv != nullptr && Value)
        AGdiImgAdv->SetClipMargin(0, 0, Value->Width() - DropDownWidth - 4, 0);
}

void TSkinHelper::InitRightGdiImgAdv(TGDIIMGADV* AGdiImgAdv, const IGPBitmap& Value,
                                     int DropDownWidth) {
    InitGdiImgAdv(AGdiImgAdv, Value, 4, 4);
    if (AGdiImgAdv != nullptr && Value)
        AGdiImgAdv->SetClipMargin(Value->Width() - DropDownWidth - 4, 0, 0, 0);
}

void TSkinHelper::DrawRectText(TGPGraphics& Graphics, TGDIText* AGDIText, const QString& S,
                               int ALeft, int ATop, int AWidth, int AHeight) {
    if (AGDIText == nullptr)
        return;
    AGDIText->SetText(S);
    AGDIText->SetPosX(ALeft);
    AGDIText->SetPosY(ATop);
    AGDIText->SetWidth(AWidth);
    AGDIText->SetHeight(AHeight);
    AGDIText->Paint(&Graphics, 0, 0);
}

void TSkinHelper::DrawGDIText(TGPGraphics& Graphics, TGDIText* AGDIText, int ALeft, int ATop,
                              int AWidth, int AHeight, const QString& ACaption) {
    try {
        DrawRectText(Graphics, AGDIText, ACaption, ALeft, ATop, AWidth, AHeight);
    } catch (const std::exception& error) {
        LogSkinFailure(ClassName(), nullptr, &error, QStringLiteral("DrawGDIText"));
    }
}

void TSkinHelper::DrawGDIText(TGPGraphics& Graphics, TGDIText* AGDIText, const TGPRect& ARect,
                              const QString& ACaption) {
    DrawGDIText(Graphics, AGDIText, ARect.X, ARect.Y, ARect.Width, ARect.Height, ACaption);
}

void ClearMemory() {
    // The heap keeps freed pages; trimming hands them back, which is what shrinking the
    // working set achieved. A program that keeps its heap for pictures (PrepareImageHeap)
    // is not trimmed: its next pictures would be faulted in page by page again. It cannot
    // fail in a way worth reporting.
    if (!ImageHeapPrepared())
        malloc_trim(0);
}

} // namespace velmora
