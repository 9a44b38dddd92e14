// Start-up, main window initialisation, message loop and tear-down.
#pragma once

#include <windows.h>

// Steps of the start-up before the main window exists: instance, counter
// frequency, defaults, the paint mutex and done events, the program and
// settings folders, the window class and the display flags.
void PrepareProcess(HINSTANCE hInstance);
// Creates the main window from its template and initialises it; null on failure.
HWND CreateMainWindow();
void InitMainWindow(HWND hWnd);
// Releases everything the main window owns, saves its position and asks the
// message loop to end. Runs when the main window is destroyed.
void TearDownMainWindow();
int RunMessageLoop();

int MirravoxMain(HINSTANCE hInstance, int argc, const char* const* argv, int showMode);

extern const char kMainWindowClass[];
