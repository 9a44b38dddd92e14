// The slider settings are sent, not posted: a posted position could still
// be queued when the next notification reads the page, which would store
// the previous effect's positions into the record just shown.
#include "dxtests/effect_page_win.h"

#include <commctrl.h>

void CDialogPageControls::SetText(int32_t id, const char* text) { SetDlgItemTextA(m_hDialog, id, text); }

void CDialogPageControls::Enable(int32_t id, bool enabled)
{
    EnableWindow(GetDlgItem(m_hDialog, id), enabled ? TRUE : FALSE);
}

void CDialogPageControls::Check(int32_t id, bool checked)
{
    CheckDlgButton(m_hDialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool CDialogPageControls::IsChecked(int32_t id) { return IsDlgButtonChecked(m_hDialog, id) == BST_CHECKED; }

void CDialogPageControls::SetSliderRange(int32_t id, int32_t min, int32_t max)
{
    SendDlgItemMessageA(m_hDialog, id, TBM_SETRANGEMIN, FALSE, min);
    SendDlgItemMessageA(m_hDialog, id, TBM_SETRANGEMAX, FALSE, max);
}

void CDialogPageControls::SetSliderLineSize(int32_t id, int32_t size)
{
    SendDlgItemMessageA(m_hDialog, id, TBM_SETLINESIZE, 0, size);
}

void CDialogPageControls::SetSliderPosition(int32_t id, int32_t position)
{
    SendDlgItemMessageA(m_hDialog, id, TBM_SETPOS, TRUE, position);
}

int32_t CDialogPageControls::SliderPosition(int32_t id)
{
    return static_cast<int32_t>(SendDlgItemMessageA(m_hDialog, id, TBM_GETPOS, 0, 0));
}
