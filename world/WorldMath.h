// Small arithmetic the map's rules share: sums of table values held inside 32 bits (the
// tables hold raw 32-bit words, so any sum of two may leave the range) and the squared
// distance of two map points.
#pragma once
#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/Base.h"

// a + b, held inside the 32-bit range.
inline std::int32_t SaturatingAdd(std::int32_t a, std::int64_t b) {
    const std::int64_t n = std::int64_t(a) + b;
    return std::int32_t(std::clamp<std::int64_t>(n, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

// The squared distance of two points, computed in 64 bits.
inline std::int64_t SquaredDistance(POINT a, POINT b) {
    const std::int64_t dx = std::int64_t(a.x) - b.x, dy = std::int64_t(a.y) - b.y;
    return dx * dx + dy * dy;
}
