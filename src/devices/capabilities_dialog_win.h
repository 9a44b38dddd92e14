// The wave capabilities dialog: what each wave input, output or auxiliary
// device claims about itself. It changes nothing; its result is 0.
#pragma once

#include <windows.h>

INT_PTR RunCapabilitiesDialog(HWND hOwner);
