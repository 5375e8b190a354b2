#pragma once

#include "platform/system/Errors.h"
#include "skin/drawing/SkinTypes.h"

#include <QString>
#include <cstdint>

namespace velmora {

// Raised by the skin's small text formats; callers catch it at their named operation.
VELMORA_DECLARE_ERROR(ESkinParseError, EVelmoraError);
// Raised when a skin cannot be read into the skin file.
VELMORA_DECLARE_ERROR(ESkinLoadError, EVelmoraError);

// Field order is the skin format's record order; skin text writes left, top, right, bottom.
struct TMargin {
    std::int32_t TopMargin = 0;
    std::int32_t LeftMargin = 0;
    std::int32_t RightMargin = 0;
    std::int32_t BottomMargin = 0;
    bool operator==(const TMargin&) const = default;
};

// Anchors of a control laid out from a skin node, as a bit set.
enum TSkinAnchor : unsigned {
    akLeft = 1u,
    akTop = 2u,
    akRight = 4u,
    akBottom = 8u,
};
using TSkinAnchors = unsigned;

// A stretch mode read from an integer: only the low byte counts, unknown values fall back to
// stretching so that a damaged skin never yields an enumerator outside the type.
constexpr TStretchMode StretchModeFromInt(std::int32_t AValue) {
    const int low = AValue & 0xFF;
    return low <= smAvgColor ? static_cast<TStretchMode>(low) : smStretchBoth;
}

} // namespace velmora
