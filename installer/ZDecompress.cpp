#include "installer/ZDecompress.h"

#include "platform/system/MessagePump.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <zlib.h>

namespace velmora {
namespace {

constexpr qsizetype kChunk = 32768;
constexpr qsizetype kPumpEvery = qsizetype(1) << 20;

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

// Output goes straight into the target's spare room, at least one chunk at a time: the
// same calls and error semantics as inflating through a separate chunk buffer, without
// copying every byte a second time. `used` counts the bytes that hold output.
void PrepareOutput(z_stream& z, QByteArray& target, qsizetype used, qint64 maxBytes) {
    if (target.size() - used < kChunk) {
        if (used >= maxBytes)
            throw EDecompressionError(QStringLiteral("payload inflates past the size limit"));
        const qint64 wanted = std::max<qint64>(qint64(used) * 2, qint64(used) + kChunk);
        target.resize(static_cast<qsizetype>(std::min<qint64>(wanted, maxBytes)));
    }
    z.next_out = reinterpret_cast<Bytef*>(target.data() + used);
    z.avail_out =
        static_cast<uInt>(std::min<qint64>(target.size() - used, std::numeric_limits<uInt>::max()));
}

qsizetype UsedAfter(const z_stream& z, const QByteArray& target) {
    return reinterpret_cast<const char*>(z.next_out) - target.constData();
}

void InflateInto(QIODevice& source, QByteArray& target, qint64 maxBytes);

} // namespace

void ZDecompressStream(QIODevice& source, QByteArray& target, qint64 maxBytes) {
    const qsizetype before = target.size();
    try {
        InflateInto(source, target, maxBytes);
    } catch (...) {
        // Whatever was produced is worthless; never leave the grown buffer's tail behind.
        target.resize(before);
        throw;
    }
}

namespace {

void InflateInto(QIODevice& source, QByteArray& target, qint64 maxBytes) {
    TInflater inflater;
    z_stream& z = inflater.Stream();
    const auto input = std::make_unique<char[]>(kChunk);
    qsizetype used = target.size();
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
            PrepareOutput(z, target, used, maxBytes);
            const int result = inflate(&z, Z_NO_FLUSH);
            used = UsedAfter(z, target);
            roomLeft = z.avail_out;
            // A large payload takes seconds to inflate: the window keeps painting meanwhile.
            if (used - pumpedAt >= kPumpEvery) {
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
        PrepareOutput(z, target, used, maxBytes);
        result = inflate(&z, Z_FINISH);
        used = UsedAfter(z, target);
        roomLeft = z.avail_out;
        if (result < 0)
            inflater.Raise(result);
        if (result == Z_NEED_DICT)
            inflater.Raise(Z_NEED_DICT);
    } while (result != Z_STREAM_END || roomLeft == 0);
    target.resize(used);
    inflater.End();
}

} // namespace

} // namespace velmora
