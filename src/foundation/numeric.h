// Script values are floats; where one is used as an index, a mode or a number of ticks it is
// truncated toward zero. A value with no int (NaN, or beyond the int range) gives INT_MIN, as the
// processor's own conversion does, instead of undefined behaviour.
#pragma once

#include <climits>

inline int TruncToInt(float v)
{
    if (!(v > -2147483904.0f && v < 2147483648.0f))
        return INT_MIN;
    return static_cast<int>(v);
}
