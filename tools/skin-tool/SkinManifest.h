#pragma once

#include "skin/document/BinaryTreeDocument100.h"

#include <QJsonObject>
#include <QString>

namespace velmora {

// The manifest is a JSON file that describes a document's tree in file order. Each node is
// an object with "name", "type" (the kind's name, such as "WideString"), optional "id" and
// "subType", optional "children", and at most one of "value" (a readable value), "hex" (the
// raw value bytes) or "file" (a file beside the manifest that holds the raw value bytes).
inline constexpr const char* KManifestFileName = "skin.json";

// Builds the document described by the manifest at AManifestPath.
void BuildFromManifest(const QString& AManifestPath, TBinaryTreeDocument100& ADoc);

// Writes the manifest and the binary values of ADoc into AFolder (created when missing), so
// that building from it gives back the bytes ADoc saves to.
void DumpToFolder(const TBinaryTreeDocument100& ADoc, const QString& AFolder);

// The value of one node as text for a terminal: the readable value, else the bytes in hex.
QString ValueText(const TBinTreeNode100& ANode);

} // namespace velmora
