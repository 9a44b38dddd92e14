#include "app/format_settings_win.h"

#include <initializer_list>

#include "app/format_settings.h"
#include "display/frame_win.h"
#include "display/overlay_win.h"
#include "resource.h"
#include "shell/combo_tables_win.h"
#include "shell/message_boxes_win.h"
#include "state/win_state_win.h"

void ApplyFormat(HWND hWnd)
{
    DeriveFormat(SelectedIndex(hWnd, IDC_RATE), SelectedIndex(hWnd, IDC_CHANNELS), SelectedIndex(hWnd, IDC_RESOLUTION));
    SetDlgItemInt(hWnd, IDC_REQUESTED, static_cast<UINT>(g_nBytesPerSec), FALSE);
    DrawOverlay();
    // Sized to the new frames first, so that the silence reaches every byte
    // of both stores (24-bit stereo leaves 2 bytes of 2MB out, 8-bit none).
    FitStoreSizes(hWnd);
    ClearBuffers(hWnd);
}

void ApplyBufferSize(HWND hWnd)
{
    const int32_t size = BufferSizeAt(SelectedIndex(hWnd, IDC_BUFFER_SIZE));
    FreeStores();
    if (!AllocateInputStore(size)) ShowMessageBox(hWnd, MessageBoxId::LowMemoryInput);
    if (!AllocateOutputStore(size)) ShowMessageBox(hWnd, MessageBoxId::LowMemoryOutput);
    ClearBuffers(hWnd);
    FitStoreSizes(hWnd);
}

void FitStoreSizes(HWND hWnd) { FitStoreSizes(BufferSizeAt(SelectedIndex(hWnd, IDC_BUFFER_SIZE))); }

void ClearBuffers(HWND hWnd)
{
    if (!ResetStores()) return;
    for (int id : {IDC_AVERAGE_IN, IDC_ACTUAL_IN, IDC_AVERAGE_OUT, IDC_ACTUAL_OUT}) SetDlgItemInt(hWnd, id, 0, FALSE);
    SetDlgItemTextA(hWnd, IDC_FILL_IN, "0% 0.0MB 0.0Sec");
    SetDlgItemTextA(hWnd, IDC_FILL_OUT, "0% 0.0MB 0.0Sec");
    EnableWindow(GetDlgItem(hWnd, IDC_STORE_SCROLL), FALSE);
    ComposeFrame(0);
    InvalidateRect(hWnd, nullptr, FALSE);
}
