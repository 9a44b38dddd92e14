// Shows one of the tone and save commands' message boxes.
#pragma once

#include <windows.h>

#include "tones/tone_box_text.h"

int ShowToneBox(HWND hWnd, const ToneBoxText& box);
