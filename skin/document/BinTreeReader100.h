#pragma once

#include "skin/document/BinTreeNode100.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace velmora {

// Bounds on what one document may make the reader build. A record takes at least 24 bytes,
// so the byte length already bounds the node count; these bound the stack depth of everyone
// who walks the tree later and the memory a small crafted input can claim.
struct TBinTreeLimits100 {
    std::size_t MaxDepth = 256;
    std::size_t MaxNodes = 1'000'000;
};

inline constexpr std::size_t KRecordHeadSize100 = 24;
inline constexpr std::uint32_t KVersion100 = 100;
// Names beyond this many code units are cut off when read.
inline constexpr std::size_t KMaxNameUnits100 = 64;

// The 24-byte head of one node record.
struct TRecordHead100 {
    std::uint32_t NodeID = 0;
    std::uint32_t NodeType = 0;
    std::uint32_t NodeSubType = 0;
    std::uint32_t ChildCount = 0;
    std::uint32_t NameSize = 0;
    std::uint32_t DataSize = 0;
};

// Reads bytes strictly inside [data, data + size); nothing it hands out reaches past the end.
class TByteCursor100 {
public:
    TByteCursor100(const std::uint8_t* AData, std::size_t ASize) : FData(AData), FSize(ASize) {}
    std::size_t Remaining() const noexcept { return FSize - FPos; }
    bool Has(std::size_t ACount) const noexcept { return ACount <= Remaining(); }
    // The caller has checked Has(ACount); a miss is a programming error and asserts.
    const std::uint8_t* Take(std::size_t ACount);
    std::uint32_t TakeUInt32();

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

// Validation of one head against the bytes that follow it; raises the fixed errors.
void CheckRecord100(const TRecordHead100& AHead, std::size_t ARemainingAfterHead);

// Builds the tree held in a whole document buffer. The sink receives the top node as soon
// as its own record is read, so that a failure later leaves the nodes read so far in place.
class TBinTreeReader100 {
public:
    using TTopSink = std::function<void(std::unique_ptr<TBinTreeNode100>)>;

    TBinTreeReader100(const std::uint8_t* AData, std::size_t ASize,
                      const TBinTreeLimits100& ALimits)
        : FCursor(AData, ASize), FLimits(ALimits) {}

    // Reads and checks the version; fails with "Unknown Version" unless it is 100.
    void ReadVersion();
    void ReadTree(const TTopSink& ASink);

private:
    TRecordHead100 ReadHead();
    std::unique_ptr<TBinTreeNode100> ReadRecord(const TRecordHead100& AHead);
    QString DecodeName(const std::uint8_t* ABytes, std::size_t ASize) const;

    TByteCursor100 FCursor;
    TBinTreeLimits100 FLimits;
    std::size_t FNodeCount = 0;
};

} // namespace velmora
