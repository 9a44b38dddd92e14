#include "app/format_controls.h"

#include <initializer_list>

#include "app/format_settings.h"
#include "app/win_state.h"
#include "display/frame.h"
#include "display/overlay.h"
#include "resource.h"

const char kLowMemoryCaption[] = "Low memory";
const char kLowMemoryInputText[] =
    "There is not enough memory in your computer to allocate\nthe requested Input sound buffer. "
    "Select a smaller buffer size\nor free up some memory";
const char kLowMemoryOutputText[] =
    "There is not enough memory in your computer to allocate\nthe requested output sound buffer. "
    "Select a smaller buffer size\nor free up some memory";

void FillCombo(HWND hWnd, int id, const char* const* labels)
{
    for (int i = 0; labels[i]; ++i)
        SendDlgItemMessageA(hWnd, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(labels[i]));
}

int SelectedIndex(HWND hWnd, int id)
{
    return static_cast<int>(SendDlgItemMessageA(hWnd, id, CB_GETCURSEL, 0, 0));
}

void ApplyFormat(HWND hWnd)
{
    DeriveFormat(SelectedIndex(hWnd, IDC_RATE), SelectedIndex(hWnd, IDC_CHANNELS),
                 SelectedIndex(hWnd, IDC_RESOLUTION));
    SetDlgItemInt(hWnd, IDC_REQUESTED, static_cast<UINT>(g_nBytesPerSec), FALSE);
    DrawOverlay();
    // Sized to the new frames first, so that the silence reaches every byte
    // of both stores (24-bit stereo leaves 2 bytes of 2MB out, 8-bit none).
    FitStoreSizes(hWnd);
    ClearBuffers(hWnd);
}

void ApplyBufferSize(HWND hWnd)
{
    const int index = SelectedIndex(hWnd, IDC_BUFFER_SIZE);
    FreeStores();
    if (!AllocateInputStore(index))
        MessageBoxA(hWnd, kLowMemoryInputText, kLowMemoryCaption, MB_ICONEXCLAMATION);
    if (!AllocateOutputStore(index))
        MessageBoxA(hWnd, kLowMemoryOutputText, kLowMemoryCaption, MB_ICONEXCLAMATION);
    ClearBuffers(hWnd);
    FitStoreSizes(hWnd);
}

void FitStoreSizes(HWND hWnd) { FitStoreSizes(SelectedIndex(hWnd, IDC_BUFFER_SIZE)); }

void ClearBuffers(HWND hWnd)
{
    if (!ResetStores()) return;
    for (int id : {IDC_AVERAGE_IN, IDC_ACTUAL_IN, IDC_AVERAGE_OUT, IDC_ACTUAL_OUT})
        SetDlgItemInt(hWnd, id, 0, FALSE);
    SetDlgItemTextA(hWnd, IDC_FILL_IN, "0% 0.0MB 0.0Sec");
    SetDlgItemTextA(hWnd, IDC_FILL_OUT, "0% 0.0MB 0.0Sec");
    EnableWindow(GetDlgItem(hWnd, IDC_STORE_SCROLL), FALSE);
    ComposeFrame(0);
    InvalidateRect(hWnd, nullptr, FALSE);
}
