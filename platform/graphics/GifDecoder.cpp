#include "platform/graphics/PictureDecoderParts.h"

#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace velmora::picture {
namespace {

struct TGifSource {
    const uchar* Data = nullptr;
    size_t Size = 0;
    size_t Position = 0;
};

int ReadGif(GifFileType* gif, GifByteType* buffer, int length) {
    auto* source = static_cast<TGifSource*>(gif->UserData);
    if (length <= 0)
        return 0;
    const size_t count = std::min(static_cast<size_t>(length), source->Size - source->Position);
    std::memcpy(buffer, source->Data + source->Position, count);
    source->Position += count;
    return static_cast<int>(count);
}

struct TGifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

QString GifError(int code) {
    const char* text = GifErrorString(code);
    return QStringLiteral("GIF: %1").arg(QString::fromLatin1(text != nullptr ? text : "error"));
}

// Reads one frame's indices row by row, following the four interlace passes when needed.
bool ReadRaster(GifFileType* gif, const GifImageDesc& desc, std::vector<GifByteType>& raster) {
    const int width = desc.Width;
    const int height = desc.Height;
    raster.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    auto readRow = [&](int y) {
        return DGifGetLine(gif, &raster[static_cast<size_t>(y) * static_cast<size_t>(width)],
                           width) == GIF_OK;
    };
    if (!desc.Interlace) {
        for (int y = 0; y < height; ++y) {
            if (!readRow(y))
                return false;
        }
        return true;
    }
    static constexpr int Offsets[] = {0, 4, 2, 1};
    static constexpr int Steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = Offsets[pass]; y < height; y += Steps[pass]) {
            if (!readRow(y))
                return false;
        }
    }
    return true;
}

void Paint(QImage& canvas, const GifImageDesc& desc, const ColorMapObject& colors,
           const std::vector<GifByteType>& raster, int transparentIndex) {
    for (int y = 0; y < desc.Height; ++y) {
        auto* target = reinterpret_cast<QRgb*>(canvas.scanLine(desc.Top + y)) + desc.Left;
        const GifByteType* indices = &raster[static_cast<size_t>(y) * desc.Width];
        for (int x = 0; x < desc.Width; ++x) {
            const int index = indices[x];
            // Indices past the colour table are treated like the transparent index.
            if (index == transparentIndex || index >= colors.ColorCount)
                continue;
            const GifColorType& c = colors.Colors[index];
            target[x] = qRgb(c.Red, c.Green, c.Blue);
        }
    }
}

void ClearRect(QImage& canvas, const GifImageDesc& desc) {
    for (int y = 0; y < desc.Height; ++y) {
        auto* target = reinterpret_cast<QRgb*>(canvas.scanLine(desc.Top + y)) + desc.Left;
        std::fill(target, target + desc.Width, 0u);
    }
}

} // namespace

void DecodeGif(QByteArrayView data, const TDecodeLimits& limits, TDecodedPicture& out) {
    TGifSource source{reinterpret_cast<const uchar*>(data.data()),
                      static_cast<size_t>(data.size())};
    int error = 0;
    std::unique_ptr<GifFileType, TGifCloser> gif(DGifOpen(&source, ReadGif, &error));
    if (!gif) {
        out.Error = GifError(error);
        return;
    }
    const int width = gif->SWidth;
    const int height = gif->SHeight;
    out.Error = CheckDimensions(width, height, 1, limits);
    if (!out.Error.isEmpty())
        return;
    QImage canvas = NewFrame(width, height);
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    std::vector<GifByteType> raster;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) != GIF_OK) {
            out.Error = GifError(gif->Error);
            return;
        }
        if (record == TERMINATE_RECORD_TYPE)
            break;
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) != GIF_OK) {
                out.Error = GifError(gif->Error);
                return;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4)
                DGifExtensionToGCB(block[0], block + 1, &control);
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK) {
                    out.Error = GifError(gif->Error);
                    return;
                }
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif.get()) != GIF_OK) {
            out.Error = GifError(gif->Error);
            return;
        }
        const GifImageDesc desc = gif->Image;
        // A frame must lie on the logical screen; anything else would paint outside it.
        if (desc.Width <= 0 || desc.Height <= 0 || desc.Left < 0 || desc.Top < 0 ||
            desc.Left + desc.Width > width || desc.Top + desc.Height > height) {
            out.Error =
                QStringLiteral("GIF: frame %1 (%2,%3 %4 x %5) lies outside the %6 x %7 screen")
                    .arg(out.Frames.size() + 1)
                    .arg(desc.Left)
                    .arg(desc.Top)
                    .arg(desc.Width)
                    .arg(desc.Height)
                    .arg(width)
                    .arg(height);
            return;
        }
        out.Error =
            CheckDimensions(width, height, static_cast<qint64>(out.Frames.size()) + 1, limits);
        if (!out.Error.isEmpty())
            return;
        const ColorMapObject* colors = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
        if (colors == nullptr) {
            out.Error = QStringLiteral("GIF: frame without a colour table");
            return;
        }
        if (!ReadRaster(gif.get(), desc, raster)) {
            out.Error = GifError(gif->Error);
            return;
        }
        const QImage before = control.DisposalMode == DISPOSE_PREVIOUS ? canvas.copy() : QImage();
        Paint(canvas, desc, *colors, raster, control.TransparentColor);
        out.Frames.push_back(canvas.copy());
        out.DelaysMs.push_back(control.DelayTime * 10);
        if (control.DisposalMode == DISPOSE_BACKGROUND)
            ClearRect(canvas, desc);
        else if (control.DisposalMode == DISPOSE_PREVIOUS)
            canvas = before;
        control = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    }
    out.Width = width;
    out.Height = height;
}

} // namespace velmora::picture
