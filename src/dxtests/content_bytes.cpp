#include "dxtests/content_bytes.h"

#include <cstdio>

bool ReadContentBytes(const char* path, bool (*claims)(const uint8_t* head), std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    uint8_t chunk[65536];
    size_t got;
    while (bytes.size() <= kMaxCheckedBytes && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() >= 12 && !claims(bytes.data())) break;
    }
    std::fclose(file);
    return true;
}
