#include "platform/system/GbkCodec.h"

#include <cerrno>
#include <iconv.h>

namespace velmora {
namespace {

// Converts the whole input or nothing.
std::optional<QByteArray> Convert(const char* to, const char* from, QByteArrayView input) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray output;
    output.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = static_cast<size_t>(input.size());
    char* out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    bool ok = true;
    while (inLeft > 0) {
        if (::iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG) {
            const qsizetype used = out - output.data();
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = static_cast<size_t>(output.size() - used);
            continue;
        }
        ok = false; // EILSEQ or EINVAL: invalid or truncated sequence
        break;
    }
    ::iconv_close(cd);
    if (!ok)
        return std::nullopt;
    output.truncate(out - output.data());
    return output;
}

} // namespace

std::optional<QString> DecodeGbk(QByteArrayView bytes) {
    const std::optional<QByteArray> utf8 = Convert("UTF-8", "CP936", bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}

std::optional<QByteArray> EncodeGbk(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    // toUtf8 replaces lone surrogates; such text has no faithful encoding.
    if (QString::fromUtf8(utf8) != text)
        return std::nullopt;
    return Convert("CP936", "UTF-8", utf8);
}

} // namespace velmora
