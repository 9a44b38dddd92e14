// The create-tone and device-selection jobs, as a user does them: choose the
// null sink's devices, play a created square tone and record it back through
// the loopback; save a created tone. check_tone_jobs.sh runs these two and
// reads the files again with sox and sndfile-info.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "driver.h"

#include <dlgs.h>

#include "resource.h"

namespace {

constexpr int kRate44100 = 7;
constexpr int kStereo = 1;
constexpr int k16Bit = 1;

// Index of the combo entry with that text (read in the wide form across processes), or -1.
int FindComboEntry(HWND dialog, int id, const wchar_t* text)
{
    const HWND combo = GetDlgItem(dialog, id);
    const int n = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t entry[128] = L"";
        if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 128) SendMessageW(combo, CB_GETLBTEXT, i, LPARAM(entry));
        if (std::wcscmp(entry, text) == 0) return i;
    }
    return -1;
}

HWND OpenDialog(MirravoxProcess& program, HWND hWnd, int command, const char* caption)
{
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return program.WaitForDialog(caption, 10000);
}

bool WaitGone(HWND dialog)
{
    return WaitUntil([dialog] { return !IsWindow(dialog); }, 10000);
}

// Types the name into the save dialog and presses Save; returns the file once complete.
std::vector<uint8_t> SaveThroughDialog(MirravoxProcess& program, const std::string& path)
{
    HWND dialog = program.WaitForDialog("Save wav file", 10000);
    if (dialog == nullptr) return {};
    HWND name = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
    TypeText(name, path);
    PressButton(dialog, IDOK);
    std::vector<uint8_t> file;
    WaitUntil(
        [&] {
            file = ReadAll(path);
            return file.size() >= 44 && Le32(file, 40) + 44 == file.size();
        },
        10000);
    return file;
}

void CreateTone(MirravoxProcess& program, HWND hWnd, int shape, const char* amplitude, const char* frequency,
                const char* seconds, int button)
{
    HWND dialog = OpenDialog(program, hWnd, IDM_CREATE_TONE, "Create test tones");
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageA(dialog, IDC_TONE_SHAPES, LB_SETCURSEL, shape, 0);
    TypeText(GetDlgItem(dialog, IDC_TONE_AMPLITUDE), amplitude);
    TypeText(GetDlgItem(dialog, IDC_TONE_FREQUENCY), frequency);
    TypeText(GetDlgItem(dialog, IDC_TONE_SECONDS), seconds);
    PressButton(dialog, button);
    ASSERT_TRUE(WaitGone(dialog));
}

std::string PathFromEnvironment(const char* name)
{
    const char* path = std::getenv(name);
    return path ? path : "";
}

TEST(ToneAndDevicesJob, PlayACreatedSquareThroughTheChosenDevicesAndRecordIt)
{
    const std::string path = PathFromEnvironment("MIRRAVOX_E2E_SQUARE_WAV");
    if (path.empty()) GTEST_SKIP() << "run by check_tone_jobs.sh";
    DeleteFileA(path.c_str());
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    SelectComboItem(hWnd, IDC_RATE, kRate44100);
    SelectComboItem(hWnd, IDC_RESOLUTION, k16Bit);
    SelectComboItem(hWnd, IDC_CHANNELS, kStereo);

    HWND select = OpenDialog(program, hWnd, IDM_DEVICE_SELECTION, "Device selection");
    ASSERT_NE(select, nullptr);
    const int in = FindComboEntry(select, IDC_SELECT_INPUT, L"Monitor of Null Output");
    const int out = FindComboEntry(select, IDC_SELECT_OUTPUT, L"Null Output");
    if (in < 0 || out < 0) {
        PressButton(select, IDCANCEL);
        GTEST_SKIP() << "no null sink";
    }
    SendDlgItemMessageA(select, IDC_SELECT_INPUT, CB_SETCURSEL, in, 0);
    SendDlgItemMessageA(select, IDC_SELECT_OUTPUT, CB_SETCURSEL, out, 0);
    PressButton(select, IDOK);
    ASSERT_TRUE(WaitGone(select));
    select = OpenDialog(program, hWnd, IDM_DEVICE_SELECTION, "Device selection");
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(select, IDC_SELECT_INPUT, CB_GETCURSEL, 0, 0), in) << "the choice is kept";
    EXPECT_EQ(SendDlgItemMessageA(select, IDC_SELECT_OUTPUT, CB_GETCURSEL, 0, 0), out);
    PressButton(select, IDCANCEL);
    ASSERT_TRUE(WaitGone(select));

    // What the null sink's output claims, kept as a picture for the README.
    HWND caps = OpenDialog(program, hWnd, IDM_WAVE_CAPS, "Device Capabilities");
    ASSERT_NE(caps, nullptr);
    SelectComboItem(caps, IDC_CAPS_KIND, 1);
    SelectComboItem(caps, IDC_CAPS_DEVICE, out);
    EXPECT_EQ(ControlText(caps, IDC_CAPS_CHANNELS), "Stereo");
    RedrawWindow(caps, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(CaptureWindow(caps).SaveBmp(ArtefactFolder() + "\\capabilities-null-output.bmp"));
    PressButton(caps, IDOK);
    ASSERT_TRUE(WaitGone(caps));

    CreateTone(program, hWnd, 1, "30", "3000", "1", IDC_TONE_PLAY);
    Command(hWnd, IDM_RECORD);
    // The capture under Wine starts about two seconds late, and later on a
    // loaded machine; nothing the window shows yet tells how much sound has
    // come, so record long enough.
    Sleep(5000);
    Command(hWnd, IDM_STOP);
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_SAVE_RECORDING, 0), 0);
    const std::vector<uint8_t> file = SaveThroughDialog(program, path);
    ASSERT_GE(file.size(), 44u);

    // The left channel from the first sound on: a 3 kHz square at 30 % of
    // full scale (9830) comes back from the monitor byte for byte. Where the
    // loopback fell behind (Wine's playback starts slow, more so on a loaded
    // machine) it brings back silence: the level is that of the sound.
    std::vector<int> left;
    for (size_t at = 44; at + 4 <= file.size(); at += 4) left.push_back(int16_t(file[at] | file[at + 1] << 8));
    size_t first = 0;
    while (first < left.size() && left[first] == 0) ++first;
    ASSERT_LT(first + 44100, left.size()) << "less than a second of sound came back";
    // The period from the rising edges a whole period apart (14.7 samples on
    // average); a gap in what came back makes a longer one, left out.
    std::map<int, size_t> levels;
    size_t periods = 0, periodSamples = 0, lastRise = 0;
    for (size_t i = first + 1; i < left.size(); ++i) {
        ++levels[std::abs(left[i])];
        if (left[i - 1] < 0 && left[i] > 0) {
            if (lastRise != 0 && i - lastRise <= 20) ++periods, periodSamples += i - lastRise;
            lastRise = i;
        }
    }
    const size_t counted = left.size() - first - 1, sounding = counted - levels[0];
    const auto common = std::max_element(levels.begin(), levels.end(),
                                         [](const auto& a, const auto& b) { return a.second < b.second; });
    ASSERT_GT(periods, 0u);
    const double hz = 44100.0 * periods / periodSamples;
    std::printf(
        "recorded %.2f s from the first sound, %.1f %% of it silent: level %d in %.1f %% of the sound, %.1f Hz\n",
        counted / 44100.0, 100.0 * levels[0] / counted, common->first, 100.0 * common->second / sounding, hz);
    EXPECT_EQ(common->first, 9830);
    EXPECT_GT(common->second, sounding * 9 / 10);
    EXPECT_NEAR(hz, 3000.0, 3.0);
}

TEST(ToneAndDevicesJob, SaveATwoSecondTone)
{
    const std::string path = PathFromEnvironment("MIRRAVOX_E2E_TONE_WAV");
    if (path.empty()) GTEST_SKIP() << "run by check_tone_jobs.sh";
    DeleteFileA(path.c_str());
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    SelectComboItem(hWnd, IDC_RATE, kRate44100);
    SelectComboItem(hWnd, IDC_RESOLUTION, k16Bit);
    SelectComboItem(hWnd, IDC_CHANNELS, kStereo);

    CreateTone(program, hWnd, 0, "50", "1000", "2", IDC_TONE_SAVE);
    const std::vector<uint8_t> file = SaveThroughDialog(program, path);
    ASSERT_GE(file.size(), 44u);
    EXPECT_EQ(Le32(file, 24), 44100u);
    // Whole loops of 44100 frames (1 s of 1 kHz at 44100 Hz): 2 s take 3 loops.
    EXPECT_EQ(Le32(file, 40), 3u * 44100u * 4u);
}

} // namespace
