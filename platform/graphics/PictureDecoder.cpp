#include "platform/graphics/PictureDecoder.h"

#include "platform/graphics/PictureDecoderParts.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <new>

namespace velmora {
namespace picture {

QString CheckDimensions(qint64 width, qint64 height, qint64 frames, const TDecodeLimits& limits) {
    if (width <= 0 || height <= 0)
        return QStringLiteral("picture has a width or height of zero");
    if (width > limits.MaxWidth || height > limits.MaxHeight)
        return QStringLiteral("picture of %1 x %2 exceeds the limit of %3 x %4")
            .arg(width)
            .arg(height)
            .arg(limits.MaxWidth)
            .arg(limits.MaxHeight);
    if (frames > limits.MaxFrames)
        return QStringLiteral("picture has more than %1 frames").arg(limits.MaxFrames);
    // Width and height are bounded above, so the product cannot overflow 64 bits.
    const qint64 bytes = width * height * 4 * frames;
    if (bytes > limits.MaxBytes)
        return QStringLiteral("picture needs %1 bytes, more than the limit of %2")
            .arg(bytes)
            .arg(limits.MaxBytes);
    return {};
}

QImage NewFrame(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    if (!image.isNull())
        image.fill(Qt::transparent);
    return image;
}

void DecodeBmp(QByteArrayView data, const TDecodeLimits& limits, TDecodedPicture& out) {
    // The header is checked here so that the reader never allocates for hostile sizes.
    if (data.size() < 26) {
        out.Error = QStringLiteral("BMP header is truncated");
        return;
    }
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    const quint32 headerSize = qFromLittleEndian<quint32>(bytes + 14);
    qint64 width = 0;
    qint64 height = 0;
    if (headerSize == 12) {
        width = qFromLittleEndian<quint16>(bytes + 18);
        height = qFromLittleEndian<quint16>(bytes + 20);
    } else {
        width = qFromLittleEndian<qint32>(bytes + 18);
        height = qFromLittleEndian<qint32>(bytes + 22);
        if (height < 0)
            height = -height; // top-down rows
    }
    out.Error = CheckDimensions(width, height, 1, limits);
    if (!out.Error.isEmpty())
        return;
    QByteArray copy(data.data(), data.size());
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAllocationLimit(static_cast<int>(qMax<qint64>(1, limits.MaxBytes >> 20)));
    QImage image = reader.read();
    if (image.isNull()) {
        out.Error = QStringLiteral("BMP: %1").arg(reader.errorString());
        return;
    }
    out.Width = image.width();
    out.Height = image.height();
    out.Frames.push_back(image.convertToFormat(QImage::Format_ARGB32));
    out.DelaysMs.push_back(0);
}

} // namespace picture

QString SniffPictureFormat(QByteArrayView data) {
    if (data.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8)))
        return QStringLiteral("PNG");
    if (data.startsWith(QByteArrayView("\xFF\xD8\xFF", 3)))
        return QStringLiteral("JPEG");
    if (data.startsWith(QByteArrayView("GIF87a")) || data.startsWith(QByteArrayView("GIF89a")))
        return QStringLiteral("GIF");
    if (data.startsWith(QByteArrayView("BM")))
        return QStringLiteral("BMP");
    return {};
}

TDecodedPicture DecodePicture(QByteArrayView data, const TDecodeLimits& limits) {
    TDecodedPicture out;
    if (data.isEmpty()) {
        out.Error = QStringLiteral("picture data is empty");
        return out;
    }
    out.Format = SniffPictureFormat(data);
    try {
        if (out.Format == QLatin1String("PNG"))
            picture::DecodePng(data, limits, out);
        else if (out.Format == QLatin1String("JPEG"))
            picture::DecodeJpeg(data, limits, out);
        else if (out.Format == QLatin1String("GIF"))
            picture::DecodeGif(data, limits, out);
        else if (out.Format == QLatin1String("BMP"))
            picture::DecodeBmp(data, limits, out);
        else
            out.Error = QStringLiteral("unrecognised picture format");
    } catch (const std::bad_alloc&) {
        out.Error = QStringLiteral("out of memory while decoding");
    }
    if (out.Error.isEmpty() && out.Frames.empty())
        out.Error = QStringLiteral("picture holds no image");
    if (!out.Error.isEmpty()) {
        out.Frames.clear();
        out.DelaysMs.clear();
    }
    return out;
}

} // namespace velmora
