// Drives a running mirravox.exe from another process: starts it, finds its
// main window, sends it commands, reads its controls and takes screenshots.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

std::string ProgramPath(); // Windows path of mirravox.exe in the build folder

class MirravoxProcess {
public:
    // Starts the program (mirravox.exe of the build folder unless another
    // copy is named) with the given arguments.
    explicit MirravoxProcess(const std::string& args = "", const std::string& program = ProgramPath());
    ~MirravoxProcess(); // closes the program if it still runs
    MirravoxProcess(const MirravoxProcess&) = delete;
    MirravoxProcess& operator=(const MirravoxProcess&) = delete;

    bool Started() const { return m_info.hProcess != nullptr; }
    // Waits for the process to end; false on time-out. The exit code is stored.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    // Waits for a visible window of this process by class and caption (null: any).
    HWND WaitForWindow(const char* cls, const char* caption, DWORD timeoutMs);
    HWND WaitForMainWindow(DWORD timeoutMs);
    // A dialog: a message box, a common dialog or the About box.
    HWND WaitForDialog(const char* caption, DWORD timeoutMs) { return WaitForWindow("#32770", caption, timeoutMs); }
    // File > Exit; true when the program ends with code 0.
    bool Exit();

private:
    PROCESS_INFORMATION m_info = {};
    HWND m_hWnd = nullptr;
};

// Polls done() until it is true, at most timeoutMs; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
std::string FileBytes(const std::string& path); // "(missing)" when it cannot be read
std::string RectText(HWND hWnd);                // "left,top widthxheight" of the window
std::string ArtefactFolder();                   // where the e2e tests keep their screenshots
std::string WindowText(HWND hWnd);
std::string ControlText(HWND hWnd, int id);
// Sends a command as its menu or button would.
void Command(HWND hWnd, int id);
// Selects item index of combo box id and tells its owner, as the user would.
void SelectComboItem(HWND hWnd, int id, int index);
// Types text into a control of another process.
void TypeText(HWND control, const std::string& text);
// Presses a button of a dialog; returns at once.
void PressButton(HWND dialog, int id);

std::vector<uint8_t> ReadAll(const std::string& path); // empty when it cannot be read
uint32_t Le32(const std::vector<uint8_t>& b, size_t at);
// Save Recording through the real save dialog; the file once it is complete
// (empty when the dialog did not appear), the chunks of a RIFF file.
class MirravoxProcess;
std::vector<uint8_t> SaveRecordingAs(MirravoxProcess& program, HWND hWnd, const std::string& path);
std::vector<uint8_t> Chunk(const std::vector<uint8_t>& file, const char* id);

// A copy of what the screen shows inside a window's rectangle.
struct Screenshot {
    int width = 0, height = 0;
    std::string pixels; // 32-bit BGRX rows, top-down
    COLORREF At(int x, int y) const;
    bool SaveBmp(const std::string& path) const;
};
Screenshot CaptureWindow(HWND hWnd);
