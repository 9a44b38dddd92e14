// Sessions on the real wave devices through winmm. Under Wine the PulseAudio
// null sink's monitor records what is played, so the 1 kHz sine preset played
// while recording must come back as a 1 kHz tone, with both devices moving
// bytes at the nominal rate. Skipped without a wave device.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "audio/wave.h"
#include "main_window_fixture.h"
#include "platform/winmm_device_win.h"

namespace {

constexpr int kRate = 44100;
constexpr double kBytesPerSecond = kRate * 2; // 16-bit mono
// Under Wine playback runs at about 0.6x for its first 2 s, and the monitor
// delivers nothing for about 1.5 s, then catches up: rates are measured after.
constexpr DWORD kSettleMs = 3000, kMeasureMs = 2000;

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Keeps the window's messages flowing while the sessions run for ms.
void RunFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

// Power at one frequency of a Hann-windowed stretch (Goertzel).
double PowerAt(const std::vector<double>& x, double frequency)
{
    const double pi = 3.14159265358979323846, coeff = 2.0 * std::cos(2.0 * pi * frequency / kRate);
    double s1 = 0, s2 = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double s0 = x[i] * (0.5 - 0.5 * std::cos(2.0 * pi * double(i) / double(x.size() - 1))) + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

using SessionDevices = MainWindowFixture;

TEST_F(SessionDevices, PlayedSineComesBackThroughTheLoopbackAtTheNominalRate)
{
    SetWaveDeviceTable(WinmmWaveDeviceTable());
    if (waveInGetNumDevs() == 0 || waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave input or output device";
    Select(IDC_RATE, 7);       // 44100 Hz
    Select(IDC_RESOLUTION, 1); // 16 bit
    MessageBoxCatcher catcher(IDOK, BoxThreads::AnyThread);
    ASSERT_EQ(GeneratePresetTone(IDM_SINE_1K), ToneResult::Ok);
    StartPlayback(hWnd);
    StartRecording(hWnd);
    ASSERT_TRUE(g_bPlaying && g_bRecording) << (catcher.Boxes().empty() ? "" : catcher.Boxes()[0].text);

    RunFor(kSettleMs);
    const double t0 = Now();
    const int64_t in0 = g_pWaveIn.load()->m_nTotalIn, out0 = g_pWaveOut.load()->m_nTotalOut;
    RunFor(kMeasureMs);
    const double seconds = Now() - t0;
    const double inRate = double(g_pWaveIn.load()->m_nTotalIn - in0) / seconds;
    const double outRate = double(g_pWaveOut.load()->m_nTotalOut - out0) / seconds;
    const double stopStart = Now();
    StopAll(hWnd);
    const double stopMs = 1000.0 * (Now() - stopStart);
    EXPECT_FALSE(CaptureSessionActive() || PlaybackSessionActive());
    EXPECT_TRUE(catcher.Boxes().empty());
    std::printf("[ measured ] capture %.0f B/s (%+.2f%%), playback %.0f B/s (%+.2f%%); Stop to idle, winmm: %.1f ms\n",
                inRate, 100.0 * (inRate / kBytesPerSecond - 1), outRate, 100.0 * (outRate / kBytesPerSecond - 1),
                stopMs);
    // A block is 23 ms: each reading may be a block or two off.
    EXPECT_NEAR(inRate, kBytesPerSecond, kBytesPerSecond * 0.05);
    EXPECT_NEAR(outRate, kBytesPerSecond, kBytesPerSecond * 0.05);

    // A stretch ending half a second before the end (the close hands back the
    // last blocks unfilled) holds a clear 1 kHz tone.
    const int count = 8192, first = g_nRecordedBytes / 2 - kRate / 2 - count;
    ASSERT_GT(first, kRate) << "less than a second recorded";
    std::vector<double> x(count);
    double peak = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* p = g_pInputBuffer + 2 * (first + i);
        x[i] = double(int16_t(uint16_t(p[0] | (p[1] << 8))));
        peak = std::max(peak, std::fabs(x[i]));
    }
    EXPECT_GT(peak, 32767 * 0.2) << "the tone came back far too quiet, or not at all";
    double weakest = 1e300;
    for (double neighbour : {500.0, 800.0, 900.0, 1100.0, 1200.0, 1500.0, 2000.0, 3000.0})
        weakest = std::min(weakest, PowerAt(x, 1000) / std::max(PowerAt(x, neighbour), 1e-9));
    // A clean loopback gives about 86 dB; a run with a dropout in the stretch still about 30 dB.
    EXPECT_GT(weakest, 100.0) << "1 kHz must stand 20 dB above its neighbours";
    std::printf("[ measured ] recorded peak %.0f; 1 kHz %.0f dB above its neighbours\n", peak, 10 * std::log10(weakest));
}

} // namespace
