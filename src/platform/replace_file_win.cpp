#include <windows.h>

#include "platform/replacing_file.h"

// The C library's rename refuses an existing destination on Windows;
// MoveFileEx replaces it, and write-through returns only once it is on disk.
bool ReplaceFileWith(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
