#include <cstdio>

#include "platform/replacing_file.h"

// POSIX rename replaces the destination in one step.
bool ReplaceFileWith(const char* from, const char* to) { return std::rename(from, to) == 0; }
