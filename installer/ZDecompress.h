#pragma once

#include "platform/system/Errors.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <functional>

namespace velmora {

VELMORA_DECLARE_ERROR(EDecompressionError, EVelmoraError);

// The most any payload may inflate to, whatever its table declares: the whole image is held
// in memory, so the bound stays far below what a machine has (the shipped image is 92 MB).
inline constexpr qint64 kMaxPayloadImageBytes = qint64(2) << 30;

// Tells from the bytes inflated so far how many the whole stream may inflate to, or a
// negative number while it cannot tell yet (it is asked again after more output).
using TInflateBound = std::function<qint64(QByteArrayView inflated)>;

// Inflates the whole zlib stream read from source and appends it to target. Raises
// EDecompressionError carrying zlib's message when the stream is corrupt or truncated,
// when bytes follow its end, when it would inflate past maxBytes, or past what bound
// answers (a bound past maxBytes is refused as soon as it is known). Memory never grows
// much beyond the bytes actually produced.
void ZDecompressStream(QIODevice& source, QByteArray& target,
                       qint64 maxBytes = kMaxPayloadImageBytes, const TInflateBound& bound = {});

} // namespace velmora
