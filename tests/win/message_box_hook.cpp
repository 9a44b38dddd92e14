#include "message_box_hook.h"

#include <set>
#include <utility>

namespace {

thread_local MessageBoxCatcher* t_catcher = nullptr;

constexpr int kBoxTextId = 0xFFFF; // the static text of a message box

std::string IconKind(HWND box)
{
    // The icon's id is 0x0440 under Wine and 0x14 under Windows.
    auto icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, 0x14, STM_GETICON, 0, 0));
    if (!icon) return "none";
    for (auto [id, kind] : {std::pair{IDI_EXCLAMATION, "exclamation"}, std::pair{IDI_INFORMATION, "information"},
                            std::pair{IDI_ERROR, "error"}})
        if (icon == LoadIconA(nullptr, id)) return kind;
    return "other";
}

bool IsDialog(HWND window)
{
    char cls[64] = "";
    return GetClassNameA(window, cls, sizeof(cls)) && std::string(cls) == "#32770";
}

bool IsMessageBox(HWND window) { return IsDialog(window) && GetDlgItem(window, kBoxTextId); }

} // namespace

MessageBoxCatcher::MessageBoxCatcher(int button, BoxThreads threads, std::function<void(HWND)> inspect)
    : m_button(button),
      m_ownThread(GetCurrentThreadId()),
      m_inspect(std::move(inspect))
{
    t_catcher = this;
    m_hook = SetWindowsHookExA(WH_CBT, &HookProc, nullptr, GetCurrentThreadId());
    if (threads == BoxThreads::AnyThread) {
        m_hStopWatch = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_watcher = std::thread(&MessageBoxCatcher::Watch, this);
    }
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    if (m_watcher.joinable()) {
        SetEvent(m_hStopWatch);
        m_watcher.join();
        CloseHandle(m_hStopWatch);
    }
    if (m_hook) UnhookWindowsHookEx(m_hook);
    t_catcher = nullptr;
}

std::vector<CaughtBox> MessageBoxCatcher::Boxes() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_boxes;
}

bool MessageBoxCatcher::WaitForBoxes(size_t count, DWORD timeoutMs) const
{
    return PumpUntil([&] { return Boxes().size() >= count; }, timeoutMs);
}

void MessageBoxCatcher::Catch(HWND box)
{
    char caption[256] = "", text[2048] = "";
    GetWindowTextA(box, caption, sizeof(caption));
    GetDlgItemTextA(box, kBoxTextId, text, sizeof(text));
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_boxes.push_back({text, caption, IconKind(box)});
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(m_button, BN_CLICKED), 0);
}

LRESULT CALLBACK MessageBoxCatcher::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && t_catcher && (t_catcher->m_inspect ? IsDialog(box) : IsMessageBox(box))) {
        if (t_catcher->m_inspect) t_catcher->m_inspect(box);
        t_catcher->Catch(box);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCatcher::Watch()
{
    std::set<HWND> seen;
    while (WaitForSingleObject(m_hStopWatch, 5) == WAIT_TIMEOUT) {
        // Forget boxes that are gone, so a later box with the same handle counts.
        for (auto it = seen.begin(); it != seen.end();) it = IsWindow(*it) ? std::next(it) : seen.erase(it);
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
             w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
            DWORD process = 0;
            const DWORD thread = GetWindowThreadProcessId(w, &process);
            // The test's own thread is the hook's; only shown boxes have their text.
            if (process == GetCurrentProcessId() && thread != m_ownThread && IsWindowVisible(w) && !seen.count(w) &&
                IsMessageBox(w)) {
                seen.insert(w);
                Catch(w);
            }
        }
    }
}
