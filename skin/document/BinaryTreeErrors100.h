#pragma once

#include "platform/system/Errors.h"

namespace velmora {

// The binary tree document raises only these texts; callers and logs compare them as they are.
inline constexpr const char* KInvalidBinaryTreeDocument = "Invalid Binary Tree Document";
inline constexpr const char* KUnknownVersion = "Unknown Version";
inline constexpr const char* KInvalidNode = "Invalid Node";
inline constexpr const char* KInvalidNodeName = "Invalid NodeName";
inline constexpr const char* KBufferOverflow = "Buffer Overflow";
inline constexpr const char* KAssertionFailure = "Assertion failure";
inline constexpr const char* KListIndexOutOfBounds = "List index out of bounds";
// A crafted document must not exhaust the stack or the memory of whoever loads it.
inline constexpr const char* KNestingTooDeep = "Binary Tree Document nested too deeply";
inline constexpr const char* KTooManyNodes = "Binary Tree Document holds too many nodes";

VELMORA_DECLARE_ERROR(EBinaryTreeError, EVelmoraError);
VELMORA_DECLARE_ERROR(EInvalidBinaryTreeDocument, EBinaryTreeError);
VELMORA_DECLARE_ERROR(EUnknownVersion, EBinaryTreeError);
VELMORA_DECLARE_ERROR(EInvalidNode, EBinaryTreeError);
VELMORA_DECLARE_ERROR(EInvalidNodeName, EBinaryTreeError);
VELMORA_DECLARE_ERROR(EBufferOverflow, EBinaryTreeError);
VELMORA_DECLARE_ERROR(EAssertionFailed, EBinaryTreeError);
VELMORA_DECLARE_ERROR(EListIndexError, EBinaryTreeError);
VELMORA_DECLARE_ERROR(EBinaryTreeLimit, EInvalidBinaryTreeDocument);
// Opening, reading or writing a file failed; the message is the file layer's own.
VELMORA_DECLARE_ERROR(EFileError, EVelmoraError);

// Raises the assertion error when a precondition does not hold.
inline void BtdAssert(bool condition) {
    if (!condition)
        throw EAssertionFailed(QString::fromLatin1(KAssertionFailure));
}

} // namespace velmora
