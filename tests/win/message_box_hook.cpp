#include "message_box_hook.h"

namespace {

thread_local MessageBoxCatcher* t_catcher = nullptr;

constexpr int kBoxTextId = 0xFFFF; // the static text of a message box
constexpr int kBoxIconId = 0x0440;       // the icon of a message box under Wine
constexpr int kBoxIconIdWindows = 0x14; // and under Windows

std::string IconKind(HWND box)
{
    HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, kBoxIconId, STM_GETICON, 0, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, kBoxIconIdWindows, STM_GETICON, 0, 0));
    if (!icon) return "none";
    if (icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32515))) return "exclamation";
    if (icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32516))) return "information";
    if (icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32514))) return "question";
    if (icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32513))) return "error";
    return "other";
}

} // namespace

MessageBoxCatcher::MessageBoxCatcher(int button) : m_button(button)
{
    t_catcher = this;
    m_hook = SetWindowsHookExA(WH_CBT, &HookProc, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    if (m_hook) UnhookWindowsHookEx(m_hook);
    t_catcher = nullptr;
}

LRESULT CALLBACK MessageBoxCatcher::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_catcher) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char cls[64] = "";
        GetClassNameA(box, cls, sizeof(cls));
        if (std::string(cls) == "#32770" && GetDlgItem(box, kBoxTextId)) {
            CaughtBox caught;
            char buf[2048] = "";
            GetWindowTextA(box, buf, sizeof(buf));
            caught.caption = buf;
            GetDlgItemTextA(box, kBoxTextId, buf, sizeof(buf));
            caught.text = buf;
            caught.icon = IconKind(box);
            t_catcher->m_boxes.push_back(caught);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(t_catcher->m_button, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindWindowA(className, caption);
        if (found) return found;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void DrainQuitMessage()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
