#pragma once

#include "skin/document/BinTreeNode100.h"

#include <cstdint>

namespace velmora {

// Bytes of the name field: the UTF-16 text with its terminator, 0 for an empty name.
std::uint64_t NameFieldSize100(const TBinTreeNode100& ANode);
// 4 for the version plus 24 + N + D for every node of the tree.
std::uint64_t SerializedSize100(const TBinTreeNode100& ATop);
// Writes the version and the tree in pre-order into AOut, which holds SerializedSize100 bytes.
void Serialize100(const TBinTreeNode100& ATop, std::uint32_t AVersion, std::uint8_t* AOut);

} // namespace velmora
