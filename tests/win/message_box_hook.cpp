#include "message_box_hook.h"

namespace {

thread_local MessageBoxCatcher* t_catcher = nullptr;

constexpr int kBoxTextId = 0xFFFF; // the static text of a message box
constexpr int kBoxIconId = 0x0440;       // the icon of a message box under Wine
constexpr int kBoxIconIdWindows = 0x14; // and under Windows
constexpr DWORD kWatchIntervalMs = 5;

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

bool IsMessageBox(HWND window)
{
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof(cls));
    return std::string(cls) == "#32770" && GetDlgItem(window, kBoxTextId);
}

} // namespace

MessageBoxCatcher::MessageBoxCatcher(int button, BoxThreads threads)
    : m_button(button), m_ownThread(GetCurrentThreadId())
{
    InitializeCriticalSection(&m_lock);
    t_catcher = this;
    m_hook = SetWindowsHookExA(WH_CBT, &HookProc, nullptr, GetCurrentThreadId());
    if (threads == BoxThreads::AnyThread) {
        m_hStopWatch = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_hWatcher = CreateThread(nullptr, 0, &WatchThread, this, 0, nullptr);
    }
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    if (m_hWatcher) {
        SetEvent(m_hStopWatch);
        WaitForSingleObject(m_hWatcher, INFINITE);
        CloseHandle(m_hWatcher);
        CloseHandle(m_hStopWatch);
    }
    if (m_hook) UnhookWindowsHookEx(m_hook);
    t_catcher = nullptr;
    DeleteCriticalSection(&m_lock);
}

std::vector<CaughtBox> MessageBoxCatcher::Boxes() const
{
    EnterCriticalSection(&m_lock);
    std::vector<CaughtBox> boxes = m_boxes;
    LeaveCriticalSection(&m_lock);
    return boxes;
}

bool MessageBoxCatcher::WaitForBoxes(size_t count, DWORD timeoutMs) const
{
    return PumpUntil([&] { return Boxes().size() >= count; }, timeoutMs);
}

void MessageBoxCatcher::Catch(HWND box)
{
    CaughtBox caught;
    char buf[2048] = "";
    GetWindowTextA(box, buf, sizeof(buf));
    caught.caption = buf;
    GetDlgItemTextA(box, kBoxTextId, buf, sizeof(buf));
    caught.text = buf;
    caught.icon = IconKind(box);
    EnterCriticalSection(&m_lock);
    m_boxes.push_back(caught);
    LeaveCriticalSection(&m_lock);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(m_button, BN_CLICKED), 0);
}

LRESULT CALLBACK MessageBoxCatcher::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_catcher) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (IsMessageBox(box)) t_catcher->Catch(box);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI MessageBoxCatcher::WatchThread(LPVOID self)
{
    auto* catcher = static_cast<MessageBoxCatcher*>(self);
    while (WaitForSingleObject(catcher->m_hStopWatch, kWatchIntervalMs) == WAIT_TIMEOUT) {
        // Forget boxes that are gone, so a later box with the same handle counts.
        for (auto it = catcher->m_seen.begin(); it != catcher->m_seen.end();)
            it = IsWindow(*it) ? std::next(it) : catcher->m_seen.erase(it);
        EnumWindows(&WatchWindow, reinterpret_cast<LPARAM>(catcher));
    }
    return 0;
}

BOOL CALLBACK MessageBoxCatcher::WatchWindow(HWND window, LPARAM self)
{
    auto* catcher = reinterpret_cast<MessageBoxCatcher*>(self);
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    // The test's own thread is the hook's; only shown boxes have their text.
    if (process != GetCurrentProcessId() || thread == catcher->m_ownThread || !IsWindowVisible(window) ||
        catcher->m_seen.count(window) || !IsMessageBox(window))
        return TRUE;
    catcher->m_seen.insert(window);
    catcher->Catch(window);
    return TRUE;
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
