// Reading a content file for its structure check: the whole file, up to
// kMaxCheckedBytes, or only its first 12 bytes when they show that the file
// is not of the kind being checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Larger files are not content files of ours; they are left to the loader.
constexpr size_t kMaxCheckedBytes = 16u << 20;

// False when the file cannot be opened. `claims` tells from the first 12
// bytes whether the file is of the kind checked.
bool ReadContentBytes(const char* path, bool (*claims)(const uint8_t* head), std::vector<uint8_t>& bytes);
