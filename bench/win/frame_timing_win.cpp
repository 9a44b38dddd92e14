// Times ComposeFrame + PresentFrame under Wine with the real main window and
// GDI: two waveform views and two spectrum views, at a 640 x 480 and a
// 1920 x 1080 display, the stores holding a 1 kHz sine at 44.1 kHz 16-bit
// stereo. Prints the median and mean of 300 frames per case.
//   bash scripts/wine-env.sh wine build/mingw/bench/win/frame_timing.exe
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/startup_win.h"
#include "display/fourier.h"
#include "display/frame_win.h"
#include "resource.h"
#include "state/app_state.h"
#include "state/win_state_win.h"

namespace {

void FillSine(uint8_t* store, int bytes)
{
    for (int i = 0; i + 4 <= bytes; i += 4) {
        const int16_t v = int16_t(30000 * std::sin(2 * 3.14159265 * 1000 * (i / 4) / 44100.0));
        for (int ch = 0; ch < 2; ++ch) {
            store[i + 2 * ch] = uint8_t(v & 0xff);
            store[i + 2 * ch + 1] = uint8_t((v >> 8) & 0xff);
        }
    }
}

double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f)
{
    return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

} // namespace

int main()
{
    PrepareProcess(GetModuleHandleA(nullptr));
    HWND hWnd = CreateMainWindow();
    if (!hWnd) return 1;
    ShowWindow(hWnd, SW_SHOWNORMAL);
    SendDlgItemMessageA(hWnd, IDC_RATE, CB_SETCURSEL, 7, 0); // 44100 Hz
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_RATE, CBN_SELCHANGE), 0);
    SendDlgItemMessageA(hWnd, IDC_RESOLUTION, CB_SETCURSEL, 1, 0);
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_RESOLUTION, CBN_SELCHANGE), 0);
    SendDlgItemMessageA(hWnd, IDC_CHANNELS, CB_SETCURSEL, 1, 0);
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_CHANNELS, CBN_SELCHANGE), 0);

    FillSine(g_pInputBuffer, g_nInputBufferSize);
    FillSine(g_pOutputBuffer, g_nOutputBufferSize);
    g_nRecordedBytes = g_nInputBufferSize;
    g_nOutputBytes = g_nOutputBufferSize;
    g_nInputPos = 100000;
    g_nOutputPos = 200000;
    for (CFourier* f : {g_pInputFourier, g_pOutputFourier}) {
        for (int b = 0; b < 4; ++b) f->AddBlock(g_pInputBuffer, b * 4096, 16, 2, 1024);
        f->Transform();
    }
    g_bRecording = 1; // two views, as while recording and playing
    g_bPlaying = 1;

    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::printf("%-10s %-9s %10s %10s\n", "display", "views", "median ms", "mean ms");
    const struct {
        int w, h;
    } sizes[] = {{640, 480}, {1920, 1080}};
    for (const auto& size : sizes) {
        g_nDisplayWidth = size.w;
        g_nDisplayHeight = size.h;
        CreateViewSurfaces();
        UpdateSpectrumRange();
        for (int mode : {0, 1}) {
            g_nViewMode = mode;
            std::vector<double> times;
            for (int i = 0; i < 330; ++i) {
                LARGE_INTEGER a, b;
                QueryPerformanceCounter(&a);
                ComposeFrame(0);
                PresentFrame();
                GdiFlush();
                QueryPerformanceCounter(&b);
                if (i >= 30) times.push_back(Ms(a, b, freq)); // after warming up
                MSG msg;
                while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            }
            std::sort(times.begin(), times.end());
            double sum = 0;
            for (double t : times) sum += t;
            std::printf("%4dx%-5d %-9s %10.3f %10.3f\n", size.w, size.h, mode ? "2 spectra" : "2 waves",
                        times[times.size() / 2], sum / double(times.size()));
        }
    }
    g_bRecording = 0;
    g_bPlaying = 0;
    DestroyWindow(hWnd);
    return 0;
}
