// Feeds arbitrary bytes to the picture decoder. Besides what the sanitizers catch, a result
// that breaks the decoder's promises (frame sizes, formats, delays, limits) aborts.
#include "platform/graphics/PictureDecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velmora::TDecodeLimits limits;
    // Smaller than the defaults so that each input stays fast under the fuzzer.
    limits.MaxWidth = 4096;
    limits.MaxHeight = 4096;
    limits.MaxBytes = qint64(64) << 20;
    limits.MaxFrames = 256;
    const velmora::TDecodedPicture picture = velmora::DecodePicture(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), limits);
    if (!picture.Ok()) {
        if (picture.Error.isEmpty() || !picture.Frames.empty())
            std::abort();
        return 0;
    }
    if (picture.Width <= 0 || picture.Height <= 0 || picture.Width > limits.MaxWidth ||
        picture.Height > limits.MaxHeight || picture.DelaysMs.size() != picture.Frames.size() ||
        picture.FrameCount() > limits.MaxFrames)
        std::abort();
    for (const QImage& frame : picture.Frames) {
        if (frame.width() != picture.Width || frame.height() != picture.Height ||
            frame.format() != QImage::Format_ARGB32)
            std::abort();
    }
    return 0;
}
