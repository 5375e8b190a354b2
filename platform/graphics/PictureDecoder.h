#pragma once

#include "platform/system/Errors.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <vector>

namespace velmora {

VELMORA_DECLARE_ERROR(EPictureDecodeError, EVelmoraError);

// Bounds that hostile pictures hit before they cost memory or time.
struct TDecodeLimits {
    int MaxWidth = 16384;
    int MaxHeight = 16384;
    qint64 MaxBytes = qint64(256) << 20; // decoded pixels of all frames together
    int MaxFrames = 2048;
    int MaxJpegScans = 1000;
};

// The outcome of decoding one picture. On success Frames holds at least one straight ARGB
// image (QImage::Format_ARGB32) of Width x Height, and DelaysMs one delay per frame (0 for
// still pictures). On failure Error says why and Frames is empty.
struct TDecodedPicture {
    QString Format; // "PNG", "JPEG", "GIF", "BMP"; empty when not recognised
    int Width = 0;
    int Height = 0;
    std::vector<QImage> Frames;
    std::vector<int> DelaysMs;
    QString Error;

    bool Ok() const { return Error.isEmpty() && !Frames.empty(); }
    int FrameCount() const { return static_cast<int>(Frames.size()); }
};

// Decodes PNG, JPEG, GIF (every frame, composed onto the logical screen) and BMP. Never
// throws; hostile input yields an error result.
TDecodedPicture DecodePicture(QByteArrayView data, const TDecodeLimits& limits = {});

// The format named by the data's signature, or empty.
QString SniffPictureFormat(QByteArrayView data);

} // namespace velmora
