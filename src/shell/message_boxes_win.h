// Shows one of the program's message boxes (message_boxes.h).
#pragma once

#include <windows.h>

#include "shell/message_boxes.h"

// A box owned by hOwner with an OK button (Yes and No for a question);
// returns MessageBoxA's result (IDYES when a question is answered Yes).
// MessageBoxId::None shows nothing and returns 0.
int ShowMessageBox(HWND hOwner, MessageBoxId id);
