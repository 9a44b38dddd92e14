// Filling a combo box from a label list (combo_tables.h) and reading its selection.
#pragma once

#include <windows.h>

#include "shell/combo_tables.h"

void FillCombo(HWND hWnd, int id, const char* const* labels);
int SelectedIndex(HWND hWnd, int id); // -1 when nothing is selected
