#include "shell/help_and_mixer.h"

#include <cstdio>
#include <string>

bool HelpPagePath(char* out, size_t capacity, const char* programFile, const char* page)
{
    std::string folder = programFile;
    const size_t slash = folder.rfind('\\');
    if (slash != std::string::npos) folder.erase(slash);
    const int n = std::snprintf(out, capacity, "%s\\help\\html\\%s", folder.c_str(), page);
    return n >= 0 && static_cast<size_t>(n) < capacity;
}
