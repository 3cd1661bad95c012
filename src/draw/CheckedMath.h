#pragma once
#include "draw/ControlError.h"

#include <cmath>
#include <cstdint>

namespace draw {

// Conversions and sums in the control's 32-bit integer arithmetic: real numbers
// round to the nearest integer with halves going to the even neighbour, and a
// result outside the 32-bit range is an overflow error.
namespace checked {

inline std::int32_t roundToLong(double value)
{
    if (std::isnan(value))
        throw ControlError::overflow();
    const double r = std::nearbyint(value); // default mode: nearest, ties to even
    if (r < -2147483648.0 || r > 2147483647.0)
        throw ControlError::overflow();
    return static_cast<std::int32_t>(r);
}

inline std::int32_t toLong(std::int64_t value)
{
    if (value < INT32_MIN || value > INT32_MAX)
        throw ControlError::overflow();
    return static_cast<std::int32_t>(value);
}

inline std::int32_t add(std::int32_t a, std::int32_t b)
{
    return toLong(std::int64_t(a) + std::int64_t(b));
}

inline std::int32_t sub(std::int32_t a, std::int32_t b)
{
    return toLong(std::int64_t(a) - std::int64_t(b));
}

} // namespace checked
} // namespace draw
