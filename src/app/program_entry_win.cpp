// Program entry of mirravox.exe.
#include <windows.h>

#include <cstdlib>

#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int showMode)
{
    return MirravoxMain(hInstance, __argc, __argv, showMode);
}
