#pragma once

#include <QtEndian>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace velmora::le {

// Values in the document are little-endian and unaligned; these read and write them through
// byte copies so the host's order and alignment never matter.
template <typename T> T Load(const std::uint8_t* ASource) {
    if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
        return qFromLittleEndian<T>(ASource);
    } else {
        static_assert(sizeof(T) == 4 || sizeof(T) == 8);
        using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
        const Bits bits = qFromLittleEndian<Bits>(ASource);
        T value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
}

template <typename T> void Store(std::uint8_t* ADest, T AValue) {
    if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
        qToLittleEndian<T>(AValue, ADest);
    } else {
        static_assert(sizeof(T) == 4 || sizeof(T) == 8);
        using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
        Bits bits;
        std::memcpy(&bits, &AValue, sizeof bits);
        qToLittleEndian<Bits>(bits, ADest);
    }
}

} // namespace velmora::le
