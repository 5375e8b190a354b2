#pragma once

#include "skin/document/BinaryTreeDocument100.h"

#include <QByteArray>
#include <QJsonValue>
#include <optional>

namespace velmora {

// A manifest that cannot be turned into a document; the message names the node and the fault.
VELMORA_DECLARE_ERROR(EManifestError, EVelmoraError);

// The value bytes of a node as they would be written to the file.
QByteArray ValueBytesOf(const TBinTreeNode100& ANode);

// The node's value in the manifest's readable form, or nothing when no readable form gives
// back exactly the same bytes (a Real48, a NaN, a string without its terminator, ...).
std::optional<QJsonValue> ReadableValueOf(const TBinTreeNode100& ANode);

// Sets the node's value from its readable form; ANodeLabel names the node in errors.
void ApplyReadableValue(TBinTreeNode100& ANode, const QJsonValue& AValue,
                        const QString& ANodeLabel);

} // namespace velmora
