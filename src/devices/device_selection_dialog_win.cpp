#include "devices/device_selection_dialog_win.h"

#include <string>
#include <vector>

#include "audio/wave.h"
#include "devices/device_lists.h"
#include "devices/wave_caps.h"
#include "resource.h"
#include "shell/dialog_centring_win.h"
#include "state/session_state.h"
#include "state/sound_format.h"
#include "state/win_state_win.h"

namespace {

// The names the two lists showed when the dialog opened: OK maps the chosen
// entries back to devices by them, in case a device was unplugged meanwhile.
struct ShownDevices {
    std::vector<std::string> inputs, outputs;
};

CWave MakeQueryWave() { return CWave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample); }

void FillCombo(HWND hDlg, int id, const std::vector<std::string>& names, uint32_t selected)
{
    for (const std::string& name : names)
        SendDlgItemMessageA(hDlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    // The wave mapper (and any id past the list) selects nothing.
    SendDlgItemMessageA(hDlg, id, CB_SETCURSEL, selected < names.size() ? WPARAM(selected) : WPARAM(-1), 0);
}

int Selected(HWND hDlg, int id)
{
    const LRESULT index = SendDlgItemMessageA(hDlg, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : int(index);
}

INT_PTR CALLBACK DeviceSelectionDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        auto* shown = reinterpret_cast<ShownDevices*>(lParam);
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        CenterDialog(hDlg, g_hMainWnd);
        const CWave wave = MakeQueryWave();
        shown->inputs = WaveDeviceNames(wave, WaveDeviceKind::Input);
        shown->outputs = WaveDeviceNames(wave, WaveDeviceKind::Output);
        FillCombo(hDlg, IDC_SELECT_INPUT, shown->inputs, g_nInputDeviceId);
        FillCombo(hDlg, IDC_SELECT_OUTPUT, shown->outputs, g_nOutputDeviceId);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            const auto* shown = reinterpret_cast<const ShownDevices*>(GetWindowLongPtrA(hDlg, DWLP_USER));
            const CWave wave = MakeQueryWave();
            g_nInputDeviceId = ChosenDeviceId(shown->inputs, Selected(hDlg, IDC_SELECT_INPUT),
                                              WaveDeviceNames(wave, WaveDeviceKind::Input));
            g_nOutputDeviceId = ChosenDeviceId(shown->outputs, Selected(hDlg, IDC_SELECT_OUTPUT),
                                               WaveDeviceNames(wave, WaveDeviceKind::Output));
            EndDialog(hDlg, 0);
            return TRUE;
        }
        case IDCANCEL: EndDialog(hDlg, 0); return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE: EndDialog(hDlg, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR RunDeviceSelectionDialog(HWND hOwner)
{
    ShownDevices shown;
    return DialogBoxParamA(g_hInstance, "DEVICESELECTION", hOwner, &DeviceSelectionDlgProc,
                           reinterpret_cast<LPARAM>(&shown));
}
