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
// answers (a bound past maxBytes is refused as soon as it is known). Once the bound tells a
// size up to 256 MiB, target is given all of it at once (its pages are touched only as
// output arrives); beyond that it doubles as output arrives, so memory never grows much
// beyond the bytes actually produced.
void ZDecompressStream(QIODevice& source, QByteArray& target,
                       qint64 maxBytes = kMaxPayloadImageBytes, const TInflateBound& bound = {});

// Told the bytes inflated so far, for a reader on another thread that works on them while
// inflation goes on; it may throw to stop the inflation.
using TInflateProgress = std::function<void(QByteArrayView inflated)>;

// The same for a reader working beside it (bound is needed): as soon as the bound tells the
// size, whatever it is, target grows once to hold all of it, so the output never moves
// again, and progress is told after every step from then on. On failure target is left as
// it is (the reader may still be at it); the caller throws it away.
void ZDecompressStream(QIODevice& source, QByteArray& target, qint64 maxBytes,
                       const TInflateBound& bound, const TInflateProgress& progress);

} // namespace velmora
