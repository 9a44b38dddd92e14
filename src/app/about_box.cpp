#include "app/about_box.h"

#include <cstdio>

#include "state/program_paths.h"

int FormatVersionLine(char* out, size_t capacity)
{
    const int n = std::snprintf(out, capacity, "%s %s Build: %s", g_szTitle, kProductVersion, kProductBuild);
    return n >= 0 && static_cast<size_t>(n) < capacity ? n : -1;
}
