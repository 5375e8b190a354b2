#pragma once

#include "platform/system/Errors.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace velmora {

VELMORA_DECLARE_ERROR(EPayloadBuildError, EVelmoraError);

// Packs every regular file below folder/productName into a payload image: entries named
// productName + '\' + path in GBK, in a fixed order (paths sorted by code point), names
// then data laid out without gaps. The same input gives the same bytes. Raises
// EPayloadBuildError for a name that cannot be encoded or extracted safely, a symbolic
// link or special file in the tree, or a tree past the format's limits. Empty folders
// carry no entry and are not recreated by extraction.
QByteArray BuildPayloadImage(const QString& folder, const QString& productName);

// Compresses an image into the archive stored in the installer (one zlib stream at the
// default level, so it begins 78 9C).
QByteArray CompressPayload(const QByteArray& image);

} // namespace velmora
