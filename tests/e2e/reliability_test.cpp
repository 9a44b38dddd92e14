// Long runs of the real program on the real devices (the null sink's
// loopback under Wine): Record, tone and Stop cycles with random short gaps,
// and the soak run that scripts/soak.sh drives. Both read the program's
// diagnostic line (MIRRAVOX_DIAGNOSTICS) for its GDI object and handle counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "driver.h"
#include "resource.h"

namespace {

constexpr int kRate48000 = 8;
constexpr int kStereo = 1;
constexpr int k16Bit = 1;

int EnvCount(const char* name, int otherwise)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : otherwise;
}

// The program's last diagnostic line after the one that was last on entry.
struct DiagLine {
    int gdi = -1, handles = -1;
};
DiagLine NextDiagLine(const std::string& path)
{
    const std::string before = FileBytes(path);
    WaitUntil([&] { return FileBytes(path) != before; }, 5000);
    const std::string text = FileBytes(path);
    const size_t last = text.rfind("diag ", text.size() > 1 ? text.size() - 2 : 0);
    DiagLine line;
    if (last == std::string::npos) return line;
    std::sscanf(text.c_str() + last, "diag ms=%*u in=%*d out=%*d gdi=%d handles=%d", &line.gdi, &line.handles);
    return line;
}

bool Answers(HWND hWnd)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result) != 0;
}

class Reliability : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_diag = Artefact(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".diag");
        DeleteFileA(m_diag.c_str());
        SetEnvironmentVariableA("MIRRAVOX_DIAGNOSTICS", m_diag.c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("MIRRAVOX_DIAGNOSTICS", nullptr); }
    std::string m_diag;
};

// Record, a tone and Stop given with random gaps of 0 to 300 ms, so that
// many commands arrive while a session is still starting or closing, and
// Record given twice. MIRRAVOX_CYCLES cycles (20 by default). After each
// cycle the program answers and shows no box; at the end it holds no more
// GDI objects or handles than after the second cycle, and exits cleanly.
TEST_F(Reliability, CyclesWithRandomGapsOnTheRealDevices)
{
    const int cycles = EnvCount("MIRRAVOX_CYCLES", 20);
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    std::mt19937 random(16);
    auto gap = [&] { Sleep(random() % 301); };
    auto post = [&](int id) { PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); };
    DiagLine settled;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        post(IDM_RECORD);
        if (random() % 2) post(IDM_RECORD); // again while it starts: starts nothing
        gap();
        post(IDM_SINE_1K);
        gap();
        post(IDM_STOP);
        if (random() % 2) post(IDM_RECORD), post(IDM_STOP); // while the sessions close
        gap();
        ASSERT_TRUE(Answers(hWnd)) << "cycle " << cycle;
        ASSERT_EQ(program.WaitForDialog(nullptr, 0), nullptr) << "a box in cycle " << cycle;
        if (cycle == 2) settled = NextDiagLine(m_diag);
    }
    post(IDM_STOP);
    ASSERT_TRUE(Answers(hWnd));
    const DiagLine end = NextDiagLine(m_diag);
    std::printf("%d cycles: GDI objects %d -> %d, handles %d -> %d\n", cycles, settled.gdi, end.gdi, settled.handles,
                end.handles);
    ASSERT_GT(settled.gdi, 0);
    ASSERT_GT(settled.handles, 0);
    EXPECT_LE(end.gdi, settled.gdi + 5);
    EXPECT_LE(end.handles, settled.handles + 10);
    EXPECT_TRUE(program.Exit());
}

// The soak run: only when scripts/soak.sh asks for it (MIRRAVOX_SOAK_SECONDS).
// Records and plays the 1 kHz sine at 48 kHz 16-bit stereo with the display
// running, checks every 10 s that the program answers, then stops and saves
// the recording to MIRRAVOX_SOAK_WAV for the script's check.
TEST_F(Reliability, Soak)
{
    const int seconds = EnvCount("MIRRAVOX_SOAK_SECONDS", 0);
    const char* wav = std::getenv("MIRRAVOX_SOAK_WAV");
    if (seconds <= 0 || !wav) GTEST_SKIP() << "run by scripts/soak.sh";
    if (const char* diag = std::getenv("MIRRAVOX_SOAK_DIAG")) SetEnvironmentVariableA("MIRRAVOX_DIAGNOSTICS", diag);
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    SelectComboItem(hWnd, IDC_RATE, kRate48000);
    SelectComboItem(hWnd, IDC_RESOLUTION, k16Bit);
    SelectComboItem(hWnd, IDC_CHANNELS, kStereo);
    ASSERT_EQ(ControlText(hWnd, IDC_REQUESTED), "192000");
    Command(hWnd, IDM_SINE_1K);
    Command(hWnd, IDM_RECORD);
    for (int left = seconds; left > 0; left -= 10) {
        Sleep(std::min(left, 10) * 1000);
        ASSERT_TRUE(Answers(hWnd)) << left << " s before the end";
    }
    Command(hWnd, IDM_STOP);
    EXPECT_GT(SaveRecordingAs(program, hWnd, wav).size(), 44u);
    EXPECT_TRUE(program.Exit());
}

} // namespace
