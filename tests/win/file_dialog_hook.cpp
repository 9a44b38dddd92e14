#include "file_dialog_hook.h"

#include <dlgs.h>

namespace {

thread_local FileDialogAnswer* t_answer = nullptr;
thread_local HWND t_dialog = nullptr;

constexpr UINT_PTR kAnswerTimer = 0x5A7E;

bool IsFileDialog(HWND hWnd)
{
    char cls[64] = "";
    GetClassNameA(hWnd, cls, sizeof(cls));
    return std::string(cls) == "#32770" && (GetDlgItem(hWnd, cmb13) || GetDlgItem(hWnd, edt1));
}

} // namespace

FileDialogAnswer::FileDialogAnswer(std::string name) : m_name(std::move(name))
{
    t_answer = this;
    m_hook = SetWindowsHookExA(WH_CBT, &HookProc, nullptr, GetCurrentThreadId());
}

FileDialogAnswer::~FileDialogAnswer()
{
    if (m_hook) UnhookWindowsHookEx(m_hook);
    t_answer = nullptr;
}

LRESULT CALLBACK FileDialogAnswer::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_answer && IsFileDialog(reinterpret_cast<HWND>(wParam))) {
        HWND dialog = reinterpret_cast<HWND>(wParam);
        if (dialog != t_dialog) {
            t_dialog = dialog;
            ++t_answer->m_shown;
            char title[256] = "";
            GetWindowTextA(dialog, title, sizeof(title));
            t_answer->m_title = title;
            // Answer once the dialog has finished initialising.
            SetTimer(dialog, kAnswerTimer, 50, &Answer);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK FileDialogAnswer::Answer(HWND hWnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hWnd, id);
    if (!t_answer || t_answer->m_name.empty()) {
        PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    HWND edit = GetDlgItem(hWnd, cmb13);
    if (!edit) edit = GetDlgItem(hWnd, edt1);
    SetWindowTextA(edit, t_answer->m_name.c_str());
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hWnd, IDOK)));
}
