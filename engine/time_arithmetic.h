#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Truncation toward zero of a double into a 64-bit count, saturating at the ends of the range
// (NaN gives 0), so that no stored value, however odd, is undefined behaviour.
inline std::int64_t TruncateToInt64(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kLimit = 9.2233720368547748e18;  // 2^63
    if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (value <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

// Milliseconds of a seconds value, truncated toward zero, as the timeline places photos. The
// arithmetic is 64-bit: a 32-bit millisecond count would overflow for shows longer than 24 days.
inline std::int64_t Milliseconds(double seconds) { return TruncateToInt64(seconds * 1000); }
