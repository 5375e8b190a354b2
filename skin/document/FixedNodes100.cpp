#include "skin/document/FixedNodes100.h"

#include <cmath>
#include <limits>

namespace velmora {

namespace {

constexpr int KReal80Bias = 16383;
constexpr std::uint16_t KReal80MaxExponent = 0x7FFF;

} // namespace

long double TReal80Node100::Data() const {
    const auto mantissa = le::Load<std::uint64_t>(FValue.data());
    const auto signExponent = le::Load<std::uint16_t>(FValue.data() + 8);
    const bool negative = (signExponent & 0x8000) != 0;
    const int exponent = signExponent & KReal80MaxExponent;
    long double value;
    if (exponent == KReal80MaxExponent) {
        value = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                     : std::numeric_limits<long double>::quiet_NaN();
    } else {
        // Denormals use the smallest exponent with no implicit integer bit.
        const int unbiased = (exponent == 0 ? 1 : exponent) - KReal80Bias - 63;
        value = std::ldexp(static_cast<long double>(mantissa), unbiased);
    }
    return negative ? -value : value;
}

void TReal80Node100::SetData(long double AValue) {
    std::uint64_t mantissa = 0;
    int exponent = 0;
    const bool negative = std::signbit(AValue);
    if (std::isnan(AValue)) {
        exponent = KReal80MaxExponent;
        mantissa = 0xC000000000000000ULL;
    } else if (std::isinf(AValue)) {
        exponent = KReal80MaxExponent;
        mantissa = 0x8000000000000000ULL;
    } else if (AValue != 0) {
        int binary = 0;
        const long double fraction = std::frexp(std::fabs(AValue), &binary); // [0.5, 1)
        exponent = binary - 1 + KReal80Bias;
        mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
        if (exponent <= 0) {
            mantissa = 1 - exponent < 64 ? mantissa >> (1 - exponent) : 0;
            exponent = 0;
        } else if (exponent >= KReal80MaxExponent) {
            exponent = KReal80MaxExponent;
            mantissa = 0x8000000000000000ULL;
        }
    }
    le::Store<std::uint64_t>(FValue.data(), mantissa);
    le::Store<std::uint16_t>(FValue.data() + 8,
                             static_cast<std::uint16_t>(exponent | (negative ? 0x8000 : 0)));
}

TTimeStamp100 TTimeStampNode100::Data() const {
    return {le::Load<std::int32_t>(FValue.data()), le::Load<std::int32_t>(FValue.data() + 4)};
}

void TTimeStampNode100::SetData(const TTimeStamp100& AValue) {
    le::Store<std::int32_t>(FValue.data(), AValue.Time);
    le::Store<std::int32_t>(FValue.data() + 4, AValue.Date);
}

QUuid TGUIDNode100::Data() const {
    const std::uint8_t* b = FValue.data();
    return QUuid(le::Load<std::uint32_t>(b), le::Load<std::uint16_t>(b + 4),
                 le::Load<std::uint16_t>(b + 6), b[8], b[9], b[10], b[11], b[12], b[13], b[14],
                 b[15]);
}

void TGUIDNode100::SetData(const QUuid& AValue) {
    std::uint8_t* b = FValue.data();
    le::Store<std::uint32_t>(b, AValue.data1);
    le::Store<std::uint16_t>(b + 4, AValue.data2);
    le::Store<std::uint16_t>(b + 6, AValue.data3);
    std::memcpy(b + 8, AValue.data4, 8);
}

} // namespace velmora
