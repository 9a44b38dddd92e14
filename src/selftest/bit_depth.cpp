#include "selftest/bit_depth.h"

int ChangingBits(const std::vector<int32_t>& steps, int bits)
{
    uint32_t changed = 0;
    for (int32_t s : steps) changed |= uint32_t(s) ^ uint32_t(steps.front());
    if (changed == 0) return 0;
    int constantLow = 0;
    while (!(changed & (1u << constantLow))) ++constantLow;
    return bits - constantLow;
}
