#pragma once

#include "skin/document/BinTreeNode100.h"
#include "skin/document/BinaryTreeErrors100.h"
#include "skin/document/LittleEndian100.h"

#include <QUuid>
#include <array>
#include <cstddef>

namespace velmora {

// A kind whose value is always exactly Width bytes held inside the node; a new node holds
// zeros and already reports its full width.
template <TNodeType100 Tag, std::size_t Width> class TFixedNode100 : public TBinTreeNode100 {
public:
    static constexpr std::size_t KWidth = Width;

    TFixedNode100(TBinTreeNode100* AParentNode, const QString& ANodeName)
        : TBinTreeNode100(AParentNode, ANodeName, Tag, Width) {}

    void ReadBuffer(void* ADest) const override { std::memcpy(ADest, FValue.data(), Width); }
    // Any count but the width is a programming or format error, never a partial copy.
    void WriteBuffer(const void* ASource, std::int64_t ACount) override {
        BtdAssert(ACount == static_cast<std::int64_t>(Width) && ASource != nullptr);
        std::memcpy(FValue.data(), ASource, Width);
    }
    const std::array<std::uint8_t, Width>& Bytes() const noexcept { return FValue; }

protected:
    std::array<std::uint8_t, Width> FValue{};
};

// A fixed kind read and written as one little-endian number.
template <TNodeType100 Tag, typename T>
class TNumberNode100 : public TFixedNode100<Tag, sizeof(T)> {
public:
    using TFixedNode100<Tag, sizeof(T)>::TFixedNode100;
    T Data() const { return le::Load<T>(this->FValue.data()); }
    void SetData(T AValue) { le::Store<T>(this->FValue.data(), AValue); }
};

// Any non-zero pattern reads as true; true is written with every bit set, as the skin does.
template <TNodeType100 Tag, typename T> class TBoolNode100 : public TFixedNode100<Tag, sizeof(T)> {
public:
    using TFixedNode100<Tag, sizeof(T)>::TFixedNode100;
    bool Data() const { return le::Load<T>(this->FValue.data()) != 0; }
    void SetData(bool AValue) { le::Store<T>(this->FValue.data(), AValue ? T(~T(0)) : T(0)); }
};

class TAnsiCharNode100 final : public TNumberNode100<nt100_AnsiChar, std::uint8_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TWideCharNode100 final : public TNumberNode100<nt100_WideChar, char16_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TInt8Node100 final : public TNumberNode100<nt100_Int8, std::int8_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TInt16Node100 final : public TNumberNode100<nt100_Int16, std::int16_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TInt32Node100 final : public TNumberNode100<nt100_Int32, std::int32_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TInt64Node100 final : public TNumberNode100<nt100_Int64, std::int64_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TUInt8Node100 final : public TNumberNode100<nt100_UInt8, std::uint8_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TUInt16Node100 final : public TNumberNode100<nt100_UInt16, std::uint16_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TUInt32Node100 final : public TNumberNode100<nt100_UInt32, std::uint32_t> {
public:
    using TNumberNode100::TNumberNode100;
};
class TReal32Node100 final : public TNumberNode100<nt100_Real32, float> {
public:
    using TNumberNode100::TNumberNode100;
};
// The six bytes are kept as they are; no arithmetic type of the host matches them.
class TReal48Node100 final : public TFixedNode100<nt100_Real48, 6> {
public:
    using TFixedNode100::TFixedNode100;
};
class TReal64Node100 final : public TNumberNode100<nt100_Real64, double> {
public:
    using TNumberNode100::TNumberNode100;
};
// The amount times 10000, kept as the integer so that no amount is ever rounded.
class TCurrencyNode100 final : public TNumberNode100<nt100_Currency, std::int64_t> {
public:
    using TNumberNode100::TNumberNode100;
};
// Days since 1899-12-30; the fraction is the time of day.
class TDateTimeNode100 final : public TNumberNode100<nt100_DateTime, double> {
public:
    using TNumberNode100::TNumberNode100;
};
class TBool8Node100 final : public TBoolNode100<nt100_Bool8, std::uint8_t> {
public:
    using TBoolNode100::TBoolNode100;
};
class TBool16Node100 final : public TBoolNode100<nt100_Bool16, std::uint16_t> {
public:
    using TBoolNode100::TBoolNode100;
};
class TBool32Node100 final : public TBoolNode100<nt100_Bool32, std::uint32_t> {
public:
    using TBoolNode100::TBoolNode100;
};

// x87 extended precision: 64-bit mantissa with explicit integer bit, 15-bit exponent, sign.
class TReal80Node100 final : public TFixedNode100<nt100_Real80, 10> {
public:
    using TFixedNode100::TFixedNode100;
    long double Data() const;
    void SetData(long double AValue);
};

struct TTimeStamp100 {
    std::int32_t Time = 0; // milliseconds since midnight
    std::int32_t Date = 0; // day 1 = 0001-01-01
    bool operator==(const TTimeStamp100&) const = default;
};

class TTimeStampNode100 final : public TFixedNode100<nt100_TimeStamp, 8> {
public:
    using TFixedNode100::TFixedNode100;
    TTimeStamp100 Data() const;
    void SetData(const TTimeStamp100& AValue);
};

// The 16 bytes are the in-memory layout: 32-bit, 16-bit, 16-bit (little-endian), 8 bytes.
class TGUIDNode100 final : public TFixedNode100<nt100_Guid, 16> {
public:
    using TFixedNode100::TFixedNode100;
    QUuid Data() const;
    void SetData(const QUuid& AValue);
};

} // namespace velmora
