// Which low bits of a recording ever change: a "24-bit" capture that pads
// 16-bit samples leaves its low 8 bits constant however the sound moves.
#pragma once

#include <cstdint>
#include <vector>

// bits less the low bits that hold the same value in every sample; 0 when
// no sample differs from the first.
int ChangingBits(const std::vector<int32_t>& steps, int bits);
