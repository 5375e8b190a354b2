#pragma once

#include "skin/document/BinTreeNode100.h"

namespace velmora {

// Creates a node of the class that the tag names, appended to AParentNode; without a parent
// the caller owns it. A tag outside 0-23 fails with "Invalid Node".
TBinTreeNode100* CreateNodeOfType(std::uint32_t ANodeType, TBinTreeNode100* AParentNode,
                                  const QString& ANodeName);

// The enumerator's name without its "nt100_" prefix ("Int32"); empty for unknown tags.
QString NodeTypeName(std::uint32_t ANodeType);
// The tag for such a name, or -1 when there is none.
int NodeTypeFromName(const QString& AName);
// Value bytes of a fixed kind, or -1 for directories and variable kinds.
int FixedWidthOf(std::uint32_t ANodeType);

} // namespace velmora
