// Sessions on the real wave devices through winmm. Under Wine the PulseAudio
// null sink's monitor records what is played, so a 997 Hz sine played while
// recording must come back as that tone, each byte total must be what its
// device delivered, block after block, Average In must be those bytes over
// the time since the capture start, and the recording must hold the sound up
// to its last byte with no block in it twice. How fast the devices deliver
// depends on the machine's load: it is measured and printed, never compared
// with the clock. Skipped without a wave device.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "audio/wave.h"
#include "main_window_fixture.h"
#include "platform/sync.h"
#include "platform/winmm_device_win.h"
#include "state/window_timers.h"

namespace {

constexpr int kRate = 44100;
constexpr int kTone = 997;                    // Hz
constexpr double kBytesPerSecond = kRate * 2; // 16-bit mono
// Under Wine playback runs at about 0.6x for its first 2 s, and the monitor
// delivers nothing for about 1.5 s, then catches up: rates are measured after
// both devices have delivered this much, over the next stretch of capture.
constexpr int64_t kSettleBytes = int64_t(2 * kBytesPerSecond), kMeasureBytes = int64_t(2 * kBytesPerSecond);
// How long a device may take for either, however loaded the machine.
constexpr DWORD kDeliveryDeadlineMs = 30000;

// winmm with a look at every block on its way between the device and CWave:
// what the device says each block recorded or played, checked against
// CWave's total as soon as CWave has handled the block; whether the block
// went back to the device.
struct Side {
    WaveCallback program = nullptr;
    std::atomic<int64_t> delivered{0}, queued{0}, done{0}; // bytes of the done blocks; blocks
    std::atomic<int> miscounted{0}, notRequeued{0};
};
struct Probe {
    Side in, out;
    std::atomic<bool> stopping{false}; // set before Stop: blocks need not go back any more
    WaveDeviceTable table = *WinmmWaveDeviceTable();
};
Probe* s_probe = nullptr;

template <bool kInput>
void Seen(WaveHandle device, uint32_t message, uintptr_t context, WaveHeader* header)
{
    Side& side = kInput ? s_probe->in : s_probe->out;
    const bool block = message == (kInput ? kWaveInData : kWaveOutDone);
    if (block) side.delivered += header->dwBytesRecorded, ++side.done;
    side.program(device, message, context, header);
    if (!block) return;
    // The context is the CWave; only this thread adds to its total.
    const CWave& wave = *reinterpret_cast<const CWave*>(context);
    side.miscounted += (kInput ? wave.m_nTotalIn.load() : wave.m_nTotalOut.load()) != side.delivered;
    // Until Stop, every block handled is queued again: the ring stays whole.
    if (!s_probe->stopping && side.queued - side.done != CWave::kBlockCount) ++side.notRequeued;
}

template <bool kInput>
uint32_t Open(WaveHandle* device, uint32_t id, const WaveFormatEx* format, WaveCallback callback, uintptr_t context,
              uint32_t flags)
{
    (kInput ? s_probe->in : s_probe->out).program = callback;
    const WaveDeviceTable* winmm = WinmmWaveDeviceTable();
    return (kInput ? winmm->inOpen : winmm->outOpen)(device, id, format, callback ? &Seen<kInput> : nullptr, context,
                                                     flags);
}

template <bool kInput>
uint32_t Queue(WaveHandle device, WaveHeader* header)
{
    const WaveDeviceTable* winmm = WinmmWaveDeviceTable();
    const uint32_t result = (kInput ? winmm->inAddBuffer : winmm->outWrite)(device, header);
    (kInput ? s_probe->in : s_probe->out).queued += result == kWaveOk;
    return result;
}

void InstallProbe(Probe* probe)
{
    s_probe = probe;
    probe->table.inOpen = &Open<true>;
    probe->table.outOpen = &Open<false>;
    probe->table.inAddBuffer = &Queue<true>;
    probe->table.outWrite = &Queue<false>;
    SetWaveDeviceTable(&probe->table);
}

// The first block (of block bytes, counted from the start) that repeats an
// earlier one, the last, shorter one compared with the start of each earlier
// block; -1 when none does. Silent blocks (all 0) are left out: silence may
// well come twice.
int FirstRepeatedBlock(const uint8_t* data, size_t size, size_t block)
{
    for (size_t k = 0; k * block < size; ++k) {
        const uint8_t* b = data + k * block;
        const size_t n = std::min(block, size - k * block);
        if (std::all_of(b, b + n, [](uint8_t v) { return v == 0; })) continue;
        for (size_t j = 0; j < k; ++j)
            if (std::memcmp(data + j * block, b, n) == 0) return int(k);
    }
    return -1;
}

int Sample(const uint8_t* data, size_t i) { return int16_t(uint16_t(data[2 * i] | (data[2 * i + 1] << 8))); }

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

// The pitch of 16-bit mono sound, from its rising zero crossings (placed to
// a fraction of a sample) one period of about the tone's apart. Where the
// loopback brought back a gap, the crossings around it are not, and are left
// out. Returns the frequency and counts the periods.
double PitchOf(const uint8_t* data, size_t samples, int* periods)
{
    const double period = double(kRate) / kTone;
    double last = -1, sum = 0;
    *periods = 0;
    for (size_t i = 1; i < samples; ++i) {
        const int v = Sample(data, i), previous = Sample(data, i - 1);
        if (previous >= 0 || v < 0) continue;
        const double at = double(i) - double(v) / double(v - previous);
        if (last >= 0 && std::fabs(at - last - period) < period / 10) sum += at - last, ++*periods;
        last = at;
    }
    return *periods > 0 ? kRate * *periods / sum : 0;
}

using SessionDevices = MainWindowFixture;

TEST_F(SessionDevices, PlayedSineComesBackThroughTheLoopbackWithEveryByteCounted)
{
    auto probe = std::make_unique<Probe>();
    InstallProbe(probe.get());
    if (waveInGetNumDevs() == 0 || waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave input or output device";
    Select(IDC_RATE, 7);       // 44100 Hz
    Select(IDC_RESOLUTION, 1); // 16 bit
    MessageBoxCatcher catcher(IDOK, BoxThreads::AnyThread);
    // 997 Hz: a period of 44.23 samples, which divides no block; the loop,
    // as long as the playback store allows (24 s), never repeats exactly, so
    // even a dropout that shifts the sound cannot make two blocks equal.
    ASSERT_EQ(GenerateTone(int32_t(ToneShape::Sine), kTone, 50, 0), ToneResult::Ok);
    StartPlayback(hWnd);
    StartRecording(hWnd);
    ASSERT_TRUE(g_bPlaying && g_bRecording) << (catcher.Boxes().empty() ? "" : catcher.Boxes()[0].text);

    // Waits on what the devices deliver, never on the clock alone.
    Side &in = probe->in, &out = probe->out;
    ASSERT_TRUE(
        PumpUntil([&] { return in.delivered >= kSettleBytes && out.delivered >= kSettleBytes; }, kDeliveryDeadlineMs))
        << "captured " << in.delivered << " and played " << out.delivered << " bytes in 30 s";
    const int64_t t0 = SyncCounter(), in0 = in.delivered, out0 = out.delivered;
    ASSERT_TRUE(PumpUntil([&] { return in.delivered - in0 >= kMeasureBytes; }, kDeliveryDeadlineMs));
    const double seconds = double(SyncCounter() - t0) / double(g_liPerfFrequency);
    const double inRate = double(in.delivered - in0) / seconds, outRate = double(out.delivered - out0) / seconds;

    // Average In: the bytes delivered over the time since the capture start,
    // to within the two blocks that may arrive while it is worked out; its
    // deviation is the one of that rate from the rate requested.
    SendMessageA(hWnd, WM_TIMER, kStatisticsTimer, 0);
    const double since = double(SyncCounter() - g_liCaptureStart) / double(g_liPerfFrequency);
    const double truth = double(in.delivered) / since;
    int shown = 0;
    float deviation = 0;
    const std::string average = Text(IDC_AVERAGE_IN);
    ASSERT_EQ(std::sscanf(average.c_str(), "%d (%f%%)", &shown, &deviation), 2) << average;
    EXPECT_NEAR(shown, truth, 2 * 2 * g_nBlockSize / since);
    EXPECT_NEAR(deviation, 100.0 * (shown / kBytesPerSecond - 1), 0.005) << average;

    probe->stopping = true;
    const int64_t stopStart = SyncCounter();
    StopAll(hWnd);
    const double stopMs = 1000.0 * double(SyncCounter() - stopStart) / double(g_liPerfFrequency);
    EXPECT_FALSE(CaptureSessionActive() || PlaybackSessionActive());
    EXPECT_TRUE(catcher.Boxes().empty());
    std::printf("[ measured ] capture %.0f B/s (%+.2f%%), playback %.0f B/s (%+.2f%%) over %.2f s after both had "
                "delivered 2 s; Average In \"%s\" against %.0f B/s delivered; Stop to idle, winmm: %.1f ms\n",
                inRate, 100.0 * (inRate / kBytesPerSecond - 1), outRate, 100.0 * (outRate / kBytesPerSecond - 1),
                seconds, average.c_str(), truth, stopMs);

    // Each total is what its device delivered, after every block, and every
    // block went back to the device until Stop, and came back by its end.
    for (const Side* side : {&in, &out}) {
        SCOPED_TRACE(side == &in ? "capture" : "playback");
        EXPECT_EQ(side->miscounted, 0) << "blocks after which the total was not what was delivered";
        EXPECT_EQ(side->notRequeued, 0) << "blocks that did not go back to the device";
        EXPECT_EQ(side->queued, side->done);
    }

    // The recording holds what was delivered, with no block of it twice.
    ASSERT_EQ(g_nRecordedBytes, in.delivered);
    const uint8_t* data = g_pInputBuffer;
    const size_t samples = size_t(g_nRecordedBytes) / 2;
    EXPECT_EQ(FirstRepeatedBlock(data, samples * 2, size_t(g_nBlockSize) * 2), -1) << "a block recorded twice";
    // The whole recording comes back at the pitch it was played at: both
    // devices run at the same sample rate, whatever their pace.
    int periods = 0;
    const double pitch = PitchOf(data, samples, &periods);
    EXPECT_GT(periods, kTone) << "less than a second of the tone";
    EXPECT_NEAR(pitch, kTone, 1.0);
    // The last 8192 samples, up to the very last byte, hold a clear tone: the tail is new sound.
    ASSERT_GT(samples, size_t(kRate)) << "less than a second recorded";
    std::vector<double> tail(8192);
    double peak = 0, weakest = 1e300;
    for (size_t i = 0; i < tail.size(); ++i)
        peak = std::max(peak, std::fabs(tail[i] = Sample(data, samples - 8192 + i)));
    for (double neighbour : {500.0, 800.0, 900.0, 1100.0, 1200.0, 1500.0, 2000.0, 3000.0})
        weakest = std::min(weakest, PowerAt(tail, kTone) / std::max(PowerAt(tail, neighbour), 1e-9));
    std::printf("[ measured ] pitch %.2f Hz over %d periods; last 8192 samples: peak %.0f, the tone %.0f dB above its "
                "neighbours\n",
                pitch, periods, peak, 10 * std::log10(weakest));
    EXPECT_GT(peak, 32767 * 0.2) << "the tone came back far too quiet, or not at all";
    // A clean loopback gives about 95 dB; with the gaps a loaded machine
    // makes in the stretch we measured 22 to 37 dB; silence or noise, none.
    EXPECT_GT(weakest, 31.6) << "the tone must stand 15 dB above its neighbours";
}

} // namespace
