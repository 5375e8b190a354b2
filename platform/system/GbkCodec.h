#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace velmora {

// The Simplified-Chinese Windows code page (936), in which payload entry names are stored.
// Both directions are strict: an invalid or unencodable sequence gives no result, never a
// replacement character, so a damaged name can be rejected instead of written.
std::optional<QString> DecodeGbk(QByteArrayView bytes);
std::optional<QByteArray> EncodeGbk(const QString& text);

} // namespace velmora
