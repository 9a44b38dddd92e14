// The main window's timer handler: transfer statistics (timer 1), CPU load
// (timer 2) and redraw (timer 3).
#include "audio/statistics_win.h"

#include "audio/transfer_statistics.h"
#include "audio/wave.h"
#include "display/cpu_load_win.h"
#include "display/frame_win.h"
#include "platform/sync.h"
#include "resource.h"
#include "shell/message_boxes_win.h"
#include "state/app_state.h"
#include "state/window_timers.h"

namespace {

// A session's object is given only while its flag is set: the flag is read
// first, and only this thread clears it, before the session thread may
// delete the object.
TransferSources CurrentSources()
{
    TransferSources s;
    if (g_bRecording) s.input = g_pWaveIn;
    if (g_bPlaying) s.output = g_pWaveOut;
    s.captureStart = g_liCaptureStart;
    s.playbackStart = g_liPlaybackStart;
    s.frequency = g_liPerfFrequency;
    s.bytesPerSec = g_nBytesPerSec;
    s.recordedBytes = g_nRecordedBytes;
    s.outputBytes = g_nOutputBytes;
    s.outputBufferSize = g_nOutputBufferSize;
    return s;
}

void ShowTransferStatistics(HWND hWnd)
{
    const TransferTexts t = UpdateTransferStatistics(CurrentSources(), &SyncCounter);
    // The playback thread sees its flag cleared and closes the device.
    if (t.outputLost) g_bPlaying = 0;
    SetDlgItemTextA(hWnd, IDC_AVERAGE_IN, t.averageIn.c_str());
    SetDlgItemTextA(hWnd, IDC_ACTUAL_IN, t.actualIn.c_str());
    SetDlgItemTextA(hWnd, IDC_AVERAGE_OUT, t.averageOut.c_str());
    SetDlgItemTextA(hWnd, IDC_ACTUAL_OUT, t.actualOut.c_str());
    if (!t.fillIn.empty()) SetDlgItemTextA(hWnd, IDC_FILL_IN, t.fillIn.c_str());
    if (!t.fillOut.empty()) SetDlgItemTextA(hWnd, IDC_FILL_OUT, t.fillOut.c_str());
    if (t.outputLost) {
        // Further ticks arrive while the box is up; with the flag clear they
        // only write zero output rates.
        ShowMessageBox(hWnd, MessageBoxId::LostOutputDevice);
        PostQuitMessage(0);
    }
}

} // namespace

void UpdateStatistics(HWND hWnd, UINT_PTR timerId)
{
    switch (timerId) {
    case kStatisticsTimer: ShowTransferStatistics(hWnd); break;
    case kCpuLoadTimer: UpdateCpuLoad(); break;
    case kRedrawTimer:
        ComposeFrame(0);
        PresentFrame();
        break;
    default: break;
    }
}
