#include "platform/graphics/PictureDecoderParts.h"

#include <climits>
#include <png.h>

namespace velmora::picture {

void DecodePng(QByteArrayView data, const TDecodeLimits& limits, TDecodedPicture& out) {
    // The simplified reader applies the file's gamma and colour information (the embedded
    // colour management) and keeps libpng's error jumps inside the library.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), static_cast<size_t>(data.size()))) {
        out.Error = QStringLiteral("PNG: %1").arg(QString::fromLatin1(image.message));
        png_image_free(&image);
        return;
    }
    out.Error = CheckDimensions(image.width, image.height, 1, limits);
    if (!out.Error.isEmpty()) {
        png_image_free(&image);
        return;
    }
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    image.format = PNG_FORMAT_BGRA;
#else
    image.format = PNG_FORMAT_ARGB;
#endif
    QImage frame = NewFrame(static_cast<int>(image.width), static_cast<int>(image.height));
    if (frame.isNull()) {
        out.Error = QStringLiteral("PNG: out of memory");
        png_image_free(&image);
        return;
    }
    // Row stride counts components, which are bytes for 8-bit output.
    if (!png_image_finish_read(&image, nullptr, frame.bits(),
                               static_cast<png_int_32>(frame.bytesPerLine()), nullptr)) {
        out.Error = QStringLiteral("PNG: %1").arg(QString::fromLatin1(image.message));
        png_image_free(&image);
        return;
    }
    out.Width = frame.width();
    out.Height = frame.height();
    out.Frames.push_back(std::move(frame));
    out.DelaysMs.push_back(0);
}

} // namespace velmora::picture
