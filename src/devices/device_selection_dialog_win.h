// The device selection dialog: the input and output devices the sessions
// open next. OK stores the choice in g_nInputDeviceId and g_nOutputDeviceId;
// Cancel changes nothing. Its result is 0.
#pragma once

#include <windows.h>

INT_PTR RunDeviceSelectionDialog(HWND hOwner);
