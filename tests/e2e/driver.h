// Drives a running mirravox.exe from another process: starts it, finds its
// windows, sends them commands, reads their controls and takes screenshots.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

std::string ProgramPath();                     // mirravox.exe in the build folder
std::string Artefact(const std::string& name); // a file kept beside the e2e tests' screenshots
std::string PositionFile();                    // where the program keeps its window's place

class MirravoxProcess {
public:
    explicit MirravoxProcess(const std::string& args = "", const std::string& program = ProgramPath());
    ~MirravoxProcess(); // closes the program if it still runs
    MirravoxProcess(const MirravoxProcess&) = delete;
    MirravoxProcess& operator=(const MirravoxProcess&) = delete;

    // Waits for the process to end; false on time-out. The exit code is stored.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    HWND WaitForMainWindow(DWORD timeoutMs);
    // A visible dialog of this process (a message box, a common dialog, the
    // About box) by caption (null: any).
    HWND WaitForDialog(const char* caption, DWORD timeoutMs);
    // Posts a command to the main window and waits for the dialog it opens.
    HWND OpenDialog(int command, const char* caption);
    bool Exit(); // File > Exit; true when the program ends with code 0

private:
    HWND WaitForWindow(const char* cls, const char* caption, DWORD timeoutMs);
    PROCESS_INFORMATION m_info = {};
    HWND m_hWnd = nullptr;
};

// Polls done() until it is true, at most timeoutMs; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
bool WaitGone(HWND window); // until it is destroyed, at most 10 s
// Runs a command line to its end (output to the handle, if any); its exit code, or ~0u.
DWORD RunAndWait(std::string commandLine, DWORD timeoutMs, HANDLE output = nullptr);
std::string FileBytes(const std::string& path); // "(missing)" when it cannot be read
std::string WindowText(HWND hWnd);
std::string ControlText(HWND hWnd, int id);
RECT InWindow(HWND window, int id); // a control's rectangle in the window's coordinates
void Command(HWND hWnd, int id);    // sent as its menu or button would
// Selects item index of combo box id and tells its owner, as the user would.
void SelectComboItem(HWND hWnd, int id, int index);
void TypeText(HWND control, const std::string& text);
void PressButton(HWND dialog, int id); // posted: returns at once

// Answers the program's save dialog with the path; the file once it is
// complete (empty when the dialog did not appear).
std::vector<uint8_t> SaveAs(MirravoxProcess& program, const std::string& path);
std::vector<uint8_t> SaveRecordingAs(MirravoxProcess& program, HWND hWnd, const std::string& path);

// A copy of what the screen shows inside a window's rectangle.
struct Screenshot {
    int width = 0, height = 0;
    std::string pixels; // 32-bit BGRX rows, top-down
    COLORREF At(int x, int y) const;
    int Differing(const RECT& r) const; // pixels in r unlike its top-left one
};
// Redraws the window and takes pictures until drawn() holds (at most 10 s;
// another process paints and tells this one nothing), keeps the last one as
// the artefact name and returns it.
Screenshot KeepShot(HWND hWnd, const std::string& name, const std::function<bool(const Screenshot&)>& drawn = nullptr);
