#pragma once

#include "skin/document/BinTreeNode100.h"

#include <type_traits>

namespace velmora {

// Typed access to a node found by path. Readers know the kind they expect at a path, but a
// skin may hold another kind there; reading an Int8 node as an Int32 must not reach past its
// one byte, so the cast answers nullptr whenever the node is not of the requested class.
template <typename TNode> TNode* NodeCast(TBinTreeNode100* ANode) noexcept {
    static_assert(std::is_base_of_v<TBinTreeNode100, TNode>);
    return dynamic_cast<TNode*>(ANode);
}

template <typename TNode> const TNode* NodeCast(const TBinTreeNode100* ANode) noexcept {
    static_assert(std::is_base_of_v<TBinTreeNode100, TNode>);
    return dynamic_cast<const TNode*>(ANode);
}

} // namespace velmora
