#include "installer/ZDecompress.h"

#include "platform/system/FillOnceBuffer.h"
#include "platform/system/MessagePump.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <zlib.h>

namespace velmora {
namespace {

constexpr qsizetype kChunk = 32768;
constexpr qsizetype kPumpEvery = qsizetype(1) << 20;
constexpr qint64 kPlaceAtOnceBytes = qint64(256) << 20;

class TInflater {
public:
    TInflater() {
        if (inflateInit_(&FStream, ZLIB_VERSION, static_cast<int>(sizeof(z_stream))) != Z_OK)
            Raise(Z_MEM_ERROR);
        FOpen = true;
    }
    ~TInflater() {
        if (FOpen)
            inflateEnd(&FStream);
    }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    z_stream& Stream() { return FStream; }

    [[noreturn]] void Raise(int code) const {
        const char* text = FStream.msg != nullptr ? FStream.msg : zError(code);
        throw EDecompressionError(QString::fromLatin1(text));
    }

    void End() {
        FOpen = false;
        const int result = inflateEnd(&FStream);
        if (result < 0)
            Raise(result);
    }

private:
    z_stream FStream{};
    bool FOpen = false;
};

// How far the output may grow: maxBytes until the bound can tell, then what it tells. Asked
// after every inflate call, so a stream that outgrows it stops within one call's output.
class TOutputLimit {
public:
    TOutputLimit(qint64 maxBytes, const TInflateBound& bound)
        : FLimit(maxBytes), FBound(bound), FKnown(!bound) {}

    qint64 Limit() const { return FLimit; }
    bool Declared() const { return FDeclared; }

    void Check(QByteArrayView inflated) {
        if (!FKnown) {
            const qint64 declared = FBound(inflated);
            if (declared >= 0) {
                FKnown = true;
                if (declared > FLimit)
                    throw EDecompressionError(
                        QStringLiteral("payload declares more than the size limit"));
                FLimit = declared;
                FDeclared = true;
            }
        }
        if (inflated.size() > FLimit)
            throw EDecompressionError(FDeclared ? QStringLiteral("payload inflates past the "
                                                                 "size its table declares")
                                                : QStringLiteral("payload inflates past the "
                                                                 "size limit"));
    }

private:
    qint64 FLimit;
    const TInflateBound& FBound;
    bool FKnown;
    bool FDeclared = false;
};

// Output goes straight into the target's spare room, at least one chunk at a time: the
// same calls and error semantics as inflating through a separate chunk buffer, without
// copying every byte a second time. `used` counts the bytes that hold output, of which the
// first `before` were there already. The buffer doubles as output arrives but never past
// one chunk beyond the limit, the room in which a stream that goes on shows itself.
void PrepareOutput(z_stream& z, QByteArray& target, qsizetype before, qsizetype used,
                   qint64 limit) {
    if (target.size() - used < kChunk) {
        const qint64 wanted = std::max<qint64>(qint64(used) * 2, qint64(used) + kChunk);
        target.resize(static_cast<qsizetype>(std::min<qint64>(wanted, before + limit + kChunk)));
    }
    z.next_out = reinterpret_cast<Bytef*>(target.data() + used);
    z.avail_out =
        static_cast<uInt>(std::min<qint64>(target.size() - used, std::numeric_limits<uInt>::max()));
}

qsizetype UsedAfter(const z_stream& z, const QByteArray& target) {
    return reinterpret_cast<const char*>(z.next_out) - target.constData();
}

// Once the bound tells the size, the output grows once to hold all of it (and the chunk of
// room past it in which a stream that goes on shows itself): no more doubling and copying,
// huge pages for a buffer that is filled once from start to end, and a place that never
// changes again, which a reader beside the inflation needs before it is told anything.
class TOutputPlacement {
public:
    explicit TOutputPlacement(const TInflateProgress& progress) : FProgress(progress) {}

    void Update(QByteArray& target, qsizetype before, QByteArrayView inflated,
                const TOutputLimit& limit) {
        if (!limit.Declared())
            return;
        // Without a reader the buffer may keep doubling: a table that declares more than a
        // payload plausibly is must not get its whole size up front from a few bytes.
        if (!FPlaced && (FProgress || limit.Limit() <= kPlaceAtOnceBytes)) {
            FPlaced = true;
            const qint64 whole = before + limit.Limit() + kChunk;
            if (target.size() < whole) {
                target.resize(static_cast<qsizetype>(whole));
                AdviseFillOnce(target.data() + before, size_t(whole - before));
            }
            inflated = QByteArrayView(target.constData() + before, inflated.size());
        }
        if (FPlaced && FProgress)
            FProgress(inflated);
    }

    // With a reader beside it the inflation runs on a thread of its own, with no window.
    bool Pumps() const { return !FProgress; }

private:
    const TInflateProgress& FProgress;
    bool FPlaced = false;
};

void InflateInto(QIODevice& source, QByteArray& target, TOutputLimit& limit,
                 TOutputPlacement& placement);

} // namespace

void ZDecompressStream(QIODevice& source, QByteArray& target, qint64 maxBytes,
                       const TInflateBound& bound) {
    ZDecompressStream(source, target, maxBytes, bound, {});
}

void ZDecompressStream(QIODevice& source, QByteArray& target, qint64 maxBytes,
                       const TInflateBound& bound, const TInflateProgress& progress) {
    const qsizetype before = target.size();
    try {
        TOutputLimit limit(maxBytes, bound);
        TOutputPlacement placement(progress);
        InflateInto(source, target, limit, placement);
    } catch (...) {
        // Whatever was produced is worthless; never leave the grown buffer's tail behind,
        // unless a reader may still be at it.
        if (!progress)
            target.resize(before);
        throw;
    }
}

namespace {

void InflateInto(QIODevice& source, QByteArray& target, TOutputLimit& limit,
                 TOutputPlacement& placement) {
    TInflater inflater;
    z_stream& z = inflater.Stream();
    const auto input = std::make_unique<char[]>(kChunk);
    const qsizetype before = target.size();
    qsizetype used = before;
    const auto inflated = [&] {
        return QByteArrayView(target.constData() + before, used - before);
    };
    qsizetype pumpedAt = used;
    bool ended = false;

    // Reading phase: every chunk is inflated until it is consumed and the output had room.
    for (;;) {
        const qint64 got = source.read(input.get(), kChunk);
        if (got <= 0)
            break;
        if (ended)
            throw EDecompressionError(
                QStringLiteral("data follows the end of the compressed stream"));
        z.next_in = reinterpret_cast<Bytef*>(input.get());
        z.avail_in = static_cast<uInt>(got);
        uInt roomLeft = 0;
        do {
            PrepareOutput(z, target, before, used, limit.Limit());
            const int result = inflate(&z, Z_NO_FLUSH);
            used = UsedAfter(z, target);
            roomLeft = z.avail_out;
            // A large payload takes seconds to inflate: the window keeps painting meanwhile.
            if (placement.Pumps() && used - pumpedAt >= kPumpEvery) {
                pumpedAt = used;
                PumpMessages(0);
            }
            if (result == Z_BUF_ERROR)
                break; // no progress possible with this input: read more
            if (result < 0)
                inflater.Raise(result);
            // A payload never uses a preset dictionary; zlib would ask for it on every call
            // without consuming input, so waiting for progress would never end.
            if (result == Z_NEED_DICT)
                inflater.Raise(Z_NEED_DICT);
            limit.Check(inflated());
            placement.Update(target, before, inflated(), limit);
            if (result == Z_STREAM_END) {
                ended = true;
                if (z.avail_in > 0)
                    throw EDecompressionError(
                        QStringLiteral("data follows the end of the compressed stream"));
                break;
            }
        } while (z.avail_in > 0 || roomLeft == 0);
    }

    // Finishing phase: flush until zlib reports the end of the stream with room to spare.
    int result = Z_OK;
    uInt roomLeft = 0;
    do {
        PrepareOutput(z, target, before, used, limit.Limit());
        result = inflate(&z, Z_FINISH);
        used = UsedAfter(z, target);
        roomLeft = z.avail_out;
        if (result < 0)
            inflater.Raise(result);
        if (result == Z_NEED_DICT)
            inflater.Raise(Z_NEED_DICT);
        limit.Check(inflated());
        placement.Update(target, before, inflated(), limit);
    } while (result != Z_STREAM_END || roomLeft == 0);
    // Shrinking keeps the buffer where it is, so a reader's view stays valid.
    target.resize(used);
    inflater.End();
}

} // namespace

} // namespace velmora
