#pragma once

// Shared pieces of the per-format decoders behind DecodePicture.

#include "platform/graphics/PictureDecoder.h"

namespace velmora::picture {

// Empty when a picture of width x height with the given number of frames fits the limits,
// otherwise the reason it does not.
QString CheckDimensions(qint64 width, qint64 height, qint64 frames, const TDecodeLimits& limits);

// A transparent straight-ARGB image, or a null image when memory is short.
QImage NewFrame(int width, int height);

void DecodePng(QByteArrayView data, const TDecodeLimits& limits, TDecodedPicture& out);
void DecodeJpeg(QByteArrayView data, const TDecodeLimits& limits, TDecodedPicture& out);
void DecodeGif(QByteArrayView data, const TDecodeLimits& limits, TDecodedPicture& out);
void DecodeBmp(QByteArrayView data, const TDecodeLimits& limits, TDecodedPicture& out);

} // namespace velmora::picture
