// The two text helpers of the DirectX tests: the DirectX SDK media folder
// from the registry, and ANSI paths turned into the UTF-16 DirectMusic takes.
#pragma once

#include <windows.h>

// The value "DX81SDK Samples Path" of HKLM\Software\Microsoft\DirectX SDK
// followed by "\Media\", or "" when the key or the value is missing or the
// whole does not fit in MAX_PATH bytes. Every call rewrites the same buffer.
const char* GetDXMediaPath();

// Converts src with the system ANSI code page into at most budget - 1
// characters of dest and terminates dest[budget - 1]. A budget of
// 0xFFFFFFFF means the length of src plus one. Does nothing for a null dest
// or src or a budget of 0.
void AnsiToWide(WCHAR* dest, const char* src, DWORD budget);
