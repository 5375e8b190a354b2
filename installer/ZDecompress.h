#pragma once

#include "platform/system/Errors.h"

#include <QByteArray>
#include <QIODevice>

namespace velmora {

VELMORA_DECLARE_ERROR(EDecompressionError, EVelmoraError);

// A bound on what one payload may inflate to: 32-bit offsets and sizes cannot address
// data past 8 GiB, so anything larger is a decompression bomb, not a payload.
inline constexpr qint64 kMaxPayloadImageBytes = qint64(8) << 30;

// Inflates the whole zlib stream read from source and appends it to target. Raises
// EDecompressionError carrying zlib's message when the stream is corrupt or truncated,
// when bytes follow its end, or when it would inflate past maxBytes.
void ZDecompressStream(QIODevice& source, QByteArray& target,
                       qint64 maxBytes = kMaxPayloadImageBytes);

} // namespace velmora
