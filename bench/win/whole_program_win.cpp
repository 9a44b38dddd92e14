// Drives the real mirravox.exe through a recording at 44.1 kHz 16-bit stereo
// in a 614 x 606 window with the Fast frame rate, first in the waveform view,
// then in the spectrum view. Before each 30 s stretch it prints "MEASURE
// <view>"; bench/win/whole_program_cpu.sh reads the CPU times from /proc
// meanwhile.
#include <windows.h>

#include <cstdio>

#include "driver.h"
#include "resource.h"

int main()
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(20000);
    if (!hWnd) return 1;
    SetWindowPos(hWnd, nullptr, 0, 0, 614, 606, SWP_NOMOVE | SWP_NOZORDER);
    SelectComboItem(hWnd, IDC_RATE, 7);        // 44100 Hz
    SelectComboItem(hWnd, IDC_RESOLUTION, 1);  // 16 bit
    SelectComboItem(hWnd, IDC_CHANNELS, 1);    // stereo
    SelectComboItem(hWnd, IDC_FRAME_SPEED, 1); // Fast, 50 ms
    SelectComboItem(hWnd, IDC_VIEW, 0);
    Command(hWnd, IDM_RECORD);
    Sleep(4000); // the capture settles
    for (int view : {0, 1}) {
        SelectComboItem(hWnd, IDC_VIEW, view);
        Sleep(2000);
        std::printf("MEASURE %s\n", view ? "spectrum" : "waveform");
        std::fflush(stdout);
        Sleep(32000);
    }
    Command(hWnd, IDM_STOP);
    std::printf("DONE\n");
    std::fflush(stdout);
    return program.Exit() ? 0 : 2;
}
