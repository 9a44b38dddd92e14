#include "tones/save_commands_win.h"

#include <commdlg.h>

#include "shell/message_boxes_win.h"
#include "tones/wav_writer.h"

namespace {

// False when the user cancels. No overwrite prompt: a file of that name is replaced.
bool AskWavFileName(HWND hWnd, char (&name)[kWavFileNameChars])
{
    name[0] = '\0';
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hWnd;
    ofn.lpstrFilter = kSaveWavFilter;
    ofn.lpstrFile = name;
    ofn.nMaxFile = kWavFileNameChars;
    ofn.lpstrTitle = kSaveWavTitle;
    ofn.lpstrDefExt = kSaveWavDefaultExt;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return GetSaveFileNameA(&ofn) != FALSE;
}

void WriteAndReport(HWND hWnd, const char* name, bool tone)
{
    ShowMessageBox(hWnd, WavResultBox(WriteWavFile(name, tone)));
}

} // namespace

void SaveRecording(HWND hWnd)
{
    if (!RecordingAvailable()) {
        ShowMessageBox(hWnd, MessageBoxId::NoSoundToSave);
        return;
    }
    char name[kWavFileNameChars];
    if (AskWavFileName(hWnd, name)) WriteAndReport(hWnd, name, false);
}

void SaveTone(HWND hWnd)
{
    char name[kWavFileNameChars];
    if (AskWavFileName(hWnd, name)) WriteAndReport(hWnd, name, true);
}
