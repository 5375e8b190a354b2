#pragma once

// Builders of small pictures in memory, including deliberately broken ones.

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <vector>

namespace velmora::fixtures {

// Creates the one QApplication the graphics tests share (fonts need it).
void EnsureApplication();

// A PNG of the image, written by Qt's encoder.
QByteArray EncodePng(const QImage& image);
QByteArray EncodeJpeg(const QImage& image, int quality = 95);
QByteArray EncodeBmp(const QImage& image);

// A structurally valid PNG signature and IHDR (correct CRC) claiming the given size, with
// one tiny IDAT and IEND; for dimension checks.
QByteArray PngWithHeader(quint32 width, quint32 height);

// Replaces the frame size in the first SOF marker of a JPEG.
QByteArray JpegWithSize(QByteArray jpeg, quint16 width, quint16 height);

struct TGifFrame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Indices; // Width * Height palette indices
    int DelayCentiseconds = 0;
    int TransparentIndex = -1;
    int Disposal = 0;
    bool Interlace = false; // rows are then written in the four-pass order
};

// An animated GIF with a 4-colour palette: 0 black, 1 red, 2 green, 3 blue.
QByteArray EncodeGif(int screenWidth, int screenHeight, const std::vector<TGifFrame>& frames);
QRgb GifPaletteColor(int index);

// A single-colour image of the given size.
QImage Solid(int width, int height, QRgb argb);

} // namespace velmora::fixtures
