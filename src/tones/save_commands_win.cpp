#include "tones/save_commands.h"

#include <commdlg.h>

#include "app/app_state.h"
#include "tones/tone_box_win.h"
#include "tones/wav_writer.h"

int ShowToneBox(HWND hWnd, const ToneBoxText& box)
{
    UINT icon = 0;
    switch (box.icon) {
    case ToneBoxIcon::Information: icon = MB_ICONINFORMATION; break;
    case ToneBoxIcon::Exclamation: icon = MB_ICONEXCLAMATION; break;
    case ToneBoxIcon::Error: icon = MB_ICONERROR; break;
    case ToneBoxIcon::None: break;
    }
    return MessageBoxA(hWnd, box.pszText, box.pszCaption, icon | (box.bYesNo ? MB_YESNO : MB_OK));
}

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
    if (const ToneBoxText* box = WavResultBox(WriteWavFile(name, tone))) ShowToneBox(hWnd, *box);
}

} // namespace

void SaveRecording(HWND hWnd)
{
    if (!RecordingAvailable()) {
        ShowToneBox(hWnd, kNoSoundDataBox);
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
