#include "tests/support/PictureFixtures.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QtEndian>
#include <cstring>
#include <gif_lib.h>
#include <zlib.h>

namespace velmora::fixtures {

// The font library keeps a few allocations until the process ends; they are not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

void EnsureApplication() {
    // Font caches go below the temporary folder, never into the home folder.
    qputenv("XDG_CACHE_HOME", QDir::tempPath().toUtf8() + "/velmora-graphics-tests-cache");
    qputenv("XDG_RUNTIME_DIR", QDir::tempPath().toUtf8() + "/velmora-graphics-tests-runtime");
    static int argc = 1;
    static char name[] = "graphics-tests";
    static char* argv[] = {name, nullptr};
    if (qApp == nullptr)
        new QApplication(argc, argv); // lives for the whole test run
}

namespace {

QByteArray Encode(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

void AppendChunk(QByteArray& png, const char* type, const QByteArray& data) {
    char length[4];
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), length);
    png.append(length, 4);
    QByteArray body(type, 4);
    body += data;
    png += body;
    char crc[4];
    qToBigEndian<quint32>(
        static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(body.constData()),
                                   static_cast<uInt>(body.size()))),
        crc);
    png.append(crc, 4);
}

int WriteGif(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

} // namespace

QByteArray EncodePng(const QImage& image) {
    return Encode(image, "PNG", -1);
}
QByteArray EncodeJpeg(const QImage& image, int quality) {
    return Encode(image, "JPEG", quality);
}
QByteArray EncodeBmp(const QImage& image) {
    return Encode(image, "BMP", -1);
}

QByteArray PngWithHeader(quint32 width, quint32 height) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8; // bit depth
    ihdr[9] = 6; // RGBA
    AppendChunk(png, "IHDR", ihdr);
    const QByteArray pixels(8, '\0');
    uLongf size = compressBound(static_cast<uLong>(pixels.size()));
    QByteArray idat(static_cast<qsizetype>(size), '\0');
    compress(reinterpret_cast<Bytef*>(idat.data()), &size,
             reinterpret_cast<const Bytef*>(pixels.constData()), static_cast<uLong>(pixels.size()));
    idat.resize(static_cast<qsizetype>(size));
    AppendChunk(png, "IDAT", idat);
    AppendChunk(png, "IEND", {});
    return png;
}

QByteArray JpegWithSize(QByteArray jpeg, quint16 width, quint16 height) {
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = static_cast<uchar>(jpeg[i + 1]);
        if (static_cast<uchar>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            qToBigEndian<quint16>(height, jpeg.data() + i + 5);
            qToBigEndian<quint16>(width, jpeg.data() + i + 7);
            break;
        }
    }
    return jpeg;
}

QRgb GifPaletteColor(int index) {
    static const QRgb colors[] = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    return colors[index & 3];
}

QByteArray EncodeGif(int screenWidth, int screenHeight, const std::vector<TGifFrame>& frames) {
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, WriteGif, &error);
    GifColorType colors[4];
    for (int i = 0; i < 4; ++i) {
        colors[i].Red = static_cast<GifByteType>(qRed(GifPaletteColor(i)));
        colors[i].Green = static_cast<GifByteType>(qGreen(GifPaletteColor(i)));
        colors[i].Blue = static_cast<GifByteType>(qBlue(GifPaletteColor(i)));
    }
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, 2, 0, map);
    for (const TGifFrame& frame : frames) {
        GraphicsControlBlock control{frame.Disposal, false, frame.DelayCentiseconds,
                                     frame.TransparentIndex};
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
        EGifPutImageDesc(gif, frame.Left, frame.Top, frame.Width, frame.Height, frame.Interlace,
                         nullptr);
        std::vector<int> order;
        if (frame.Interlace) {
            for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
                for (int y = start; y < frame.Height; y += step)
                    order.push_back(y);
        } else {
            for (int y = 0; y < frame.Height; ++y)
                order.push_back(y);
        }
        std::vector<GifPixelType> row(static_cast<size_t>(frame.Width));
        for (const int y : order) {
            std::memcpy(row.data(), frame.Indices.data() + static_cast<size_t>(y) * frame.Width,
                        row.size());
            EGifPutLine(gif, row.data(), frame.Width);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return bytes;
}

QImage Solid(int width, int height, QRgb argb) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(argb));
    return image;
}

} // namespace velmora::fixtures
