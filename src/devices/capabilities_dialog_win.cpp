#include "devices/capabilities_dialog_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "audio/wave.h"
#include "devices/wave_caps.h"
#include "resource.h"
#include "shell/dialog_centring_win.h"
#include "state/sound_format.h"
#include "state/win_state_win.h"

namespace {

// Shown while the dialog is open; the kind starts at Input at each opening.
struct CapabilitiesState {
    WaveDeviceKind kind = WaveDeviceKind::Input;
    int nDevice = -1; // the device id, -1 when the kind has no device
};
CapabilitiesState s_caps;

// Each fill asks through a CWave of the current format, made for that fill only.
CWave MakeQueryWave() { return CWave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample); }

void FillList(HWND hDlg, int id, UINT reset, UINT add, const std::vector<std::string>& lines)
{
    SendDlgItemMessageA(hDlg, id, reset, 0, 0);
    for (const std::string& line : lines) SendDlgItemMessageA(hDlg, id, add, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

// The additional-information list scrolls sideways as far as its widest line.
void SetHorizontalExtent(HWND list, const std::vector<std::string>& lines)
{
    const HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::string& line : lines) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, line.c_str(), int(line.size()), &size);
        widest = std::max(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, WPARAM(widest + 6), 0);
}

void FillDeviceList(HWND hDlg)
{
    const CWave wave = MakeQueryWave();
    const std::vector<std::string> names = WaveDeviceNames(wave, s_caps.kind);
    FillList(hDlg, IDC_CAPS_DEVICE, CB_RESETCONTENT, CB_ADDSTRING, names);
    SendDlgItemMessageA(hDlg, IDC_CAPS_DEVICE, CB_SETCURSEL, 0, 0);
    s_caps.nDevice = names.empty() ? -1 : 0;
}

void FillInformation(HWND hDlg)
{
    const CWave wave = MakeQueryWave();
    const WaveDeviceInformation info = DescribeWaveDevice(wave, s_caps.kind, s_caps.nDevice);
    SetDlgItemTextA(hDlg, IDC_CAPS_DRIVER_VERSION, info.driverVersion.c_str());
    SetDlgItemTextA(hDlg, IDC_CAPS_MANUFACTURER, info.manufacturer.c_str());
    SetDlgItemTextA(hDlg, IDC_CAPS_PRODUCT, info.product.c_str());
    SetDlgItemTextA(hDlg, IDC_CAPS_CHANNELS, info.channels.c_str());
    FillList(hDlg, IDC_CAPS_FORMATS, LB_RESETCONTENT, LB_ADDSTRING, info.formats);
    FillList(hDlg, IDC_CAPS_ADDITIONAL, LB_RESETCONTENT, LB_ADDSTRING, info.additional);
    SetHorizontalExtent(GetDlgItem(hDlg, IDC_CAPS_ADDITIONAL), info.additional);
}

INT_PTR CALLBACK CapabilitiesDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        CenterDialog(hDlg, g_hMainWnd);
        FillList(hDlg, IDC_CAPS_KIND, CB_RESETCONTENT, CB_ADDSTRING, {"Input", "Output", "Aux"});
        SendDlgItemMessageA(hDlg, IDC_CAPS_KIND, CB_SETCURSEL, 0, 0);
        s_caps.kind = WaveDeviceKind::Input;
        FillDeviceList(hDlg);
        FillInformation(hDlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CAPS_KIND:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                const LRESULT kind = SendDlgItemMessageA(hDlg, IDC_CAPS_KIND, CB_GETCURSEL, 0, 0);
                if (kind >= 0 && kind <= 2) {
                    s_caps.kind = static_cast<WaveDeviceKind>(kind);
                    FillDeviceList(hDlg);
                    FillInformation(hDlg);
                }
            }
            return TRUE;
        case IDC_CAPS_DEVICE:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                const LRESULT device = SendDlgItemMessageA(hDlg, IDC_CAPS_DEVICE, CB_GETCURSEL, 0, 0);
                if (device >= 0) {
                    s_caps.nDevice = int(device);
                    FillInformation(hDlg);
                }
            }
            return TRUE;
        case IDOK:
        case IDCANCEL: EndDialog(hDlg, 0); return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE: EndDialog(hDlg, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR RunCapabilitiesDialog(HWND hOwner)
{
    return DialogBoxParamA(g_hInstance, "CAPABILITIES", hOwner, &CapabilitiesDlgProc, 0);
}
