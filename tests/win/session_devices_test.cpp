// Sessions on the real wave devices through winmm. Under Wine the PulseAudio
// null sink's monitor records what is played, so a 997 Hz sine played while
// recording must come back as that tone, each byte total must be what its
// device delivered, block after block, and the saved recording must hold that
// sound up to its last byte with no block in it twice. How fast the devices
// deliver depends on the machine's load: it is measured and printed, never
// compared with the clock. Skipped without a wave device.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "audio/wave.h"
#include "file_dialog_hook.h"
#include "main_window_fixture.h"
#include "platform/winmm_device_win.h"
#include "tones/save_commands_win.h"

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

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
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

// winmm with a look at every block on its way between the device and CWave:
// what the device says each block recorded or played, checked against
// CWave's total as soon as CWave has handled the block; whether the block
// went back to the device; and what the input blocks that Stop's reset hands
// back say they recorded.
struct DeviceProbe {
    struct Side {
        WaveCallback program = nullptr;
        std::atomic<int64_t> delivered{0};       // dwBytesRecorded of every done block
        std::atomic<int64_t> queued{0}, done{0}; // blocks queued, blocks reported done
        std::atomic<int> miscounted{0}, notRequeued{0};
        std::atomic<int64_t> firstTotal{-1}, firstDelivered{-1}; // at the first miscount
        void Clear()
        {
            delivered = queued = done = 0;
            miscounted = notRequeued = 0;
            firstTotal = firstDelivered = -1;
        }
    };
    static WaveDeviceTable table;
    static Side in, out;
    static std::atomic<bool> stopping; // set before Stop: blocks need not go back any more
    static std::mutex lock;
    static bool resetting;
    static std::vector<uint32_t> handedBack; // dwBytesRecorded of each input block after the reset began

    static void Install()
    {
        in.Clear();
        out.Clear();
        stopping = false;
        resetting = false;
        handedBack.clear();
        table = *WinmmWaveDeviceTable();
        table.inOpen = [](WaveHandle* device, uint32_t id, const WaveFormatEx* format, WaveCallback callback,
                          uintptr_t context, uint32_t flags) {
            in.program = callback;
            return WinmmWaveDeviceTable()->inOpen(device, id, format, callback ? &Seen<true> : nullptr, context, flags);
        };
        table.outOpen = [](WaveHandle* device, uint32_t id, const WaveFormatEx* format, WaveCallback callback,
                           uintptr_t context, uint32_t flags) {
            out.program = callback;
            return WinmmWaveDeviceTable()->outOpen(device, id, format, callback ? &Seen<false> : nullptr, context,
                                                   flags);
        };
        table.inAddBuffer = [](WaveHandle device, WaveHeader* header) {
            return Counted(in, WinmmWaveDeviceTable()->inAddBuffer(device, header));
        };
        table.outWrite = [](WaveHandle device, WaveHeader* header) {
            return Counted(out, WinmmWaveDeviceTable()->outWrite(device, header));
        };
        table.inReset = [](WaveHandle device) {
            {
                std::lock_guard<std::mutex> lk(lock);
                resetting = true;
            }
            return WinmmWaveDeviceTable()->inReset(device);
        };
        SetWaveDeviceTable(&table);
    }
    static uint32_t Counted(Side& side, uint32_t result)
    {
        if (result == kWaveOk) ++side.queued;
        return result;
    }
    template <bool kInput>
    static void Seen(WaveHandle device, uint32_t message, uintptr_t context, WaveHeader* header)
    {
        Side& side = kInput ? in : out;
        const bool block = message == (kInput ? kWaveInData : kWaveOutDone);
        if (block) {
            side.delivered += header->dwBytesRecorded;
            ++side.done;
            std::lock_guard<std::mutex> lk(lock);
            if (kInput && resetting) handedBack.push_back(header->dwBytesRecorded);
        }
        side.program(device, message, context, header);
        if (!block) return;
        // The context is the CWave; only this thread adds to its total.
        const CWave& wave = *reinterpret_cast<const CWave*>(context);
        const int64_t total = kInput ? wave.m_nTotalIn.load() : wave.m_nTotalOut.load();
        if (total != side.delivered && side.miscounted++ == 0) {
            side.firstTotal = total;
            side.firstDelivered = side.delivered.load();
        }
        // Until Stop, every block handled is queued again: the ring stays whole.
        if (!stopping && side.queued - side.done != CWave::kBlockCount) ++side.notRequeued;
    }
};
WaveDeviceTable DeviceProbe::table;
DeviceProbe::Side DeviceProbe::in, DeviceProbe::out;
std::atomic<bool> DeviceProbe::stopping;
std::mutex DeviceProbe::lock;
bool DeviceProbe::resetting;
std::vector<uint32_t> DeviceProbe::handedBack;

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
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

// The pitch of 16-bit mono sound, from its rising zero crossings (placed to
// a fraction of a sample) one period of about the expected frequency apart.
// Where the loopback brought back a gap, the crossings around it are not,
// and are left out. Returns the frequency and counts the periods.
double PitchOf(const uint8_t* data, size_t samples, double expected, int* periods)
{
    const double period = kRate / expected;
    double last = -1, sum = 0;
    *periods = 0;
    int previous = 0;
    for (size_t i = 0; i < samples; ++i) {
        const int v = int16_t(uint16_t(data[2 * i] | (data[2 * i + 1] << 8)));
        if (i > 0 && previous < 0 && v >= 0) {
            const double at = double(i) - double(v) / double(v - previous);
            if (last >= 0 && std::fabs(at - last - period) < period / 10) sum += at - last, ++*periods;
            last = at;
        }
        previous = v;
    }
    return *periods > 0 ? kRate * *periods / sum : 0;
}

using SessionDevices = MainWindowFixture;

TEST_F(SessionDevices, PlayedSineComesBackThroughTheLoopbackWithEveryByteCounted)
{
    DeviceProbe::Install();
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
    DeviceProbe::Side &in = DeviceProbe::in, &out = DeviceProbe::out;
    ASSERT_TRUE(
        PumpUntil([&] { return in.delivered >= kSettleBytes && out.delivered >= kSettleBytes; }, kDeliveryDeadlineMs))
        << "captured " << in.delivered << " and played " << out.delivered << " bytes in 30 s";
    const double t0 = Now();
    const int64_t in0 = in.delivered, out0 = out.delivered;
    ASSERT_TRUE(PumpUntil([&] { return in.delivered - in0 >= kMeasureBytes; }, kDeliveryDeadlineMs));
    const double seconds = Now() - t0;
    const double inRate = double(in.delivered - in0) / seconds, outRate = double(out.delivered - out0) / seconds;
    DeviceProbe::stopping = true;
    const double stopStart = Now();
    StopAll(hWnd);
    const double stopMs = 1000.0 * (Now() - stopStart);
    EXPECT_FALSE(CaptureSessionActive() || PlaybackSessionActive());
    EXPECT_TRUE(catcher.Boxes().empty());
    std::printf("[ measured ] capture %.0f B/s (%+.2f%%), playback %.0f B/s (%+.2f%%) over %.2f s after both had "
                "delivered 2 s; Stop to idle, winmm: %.1f ms\n",
                inRate, 100.0 * (inRate / kBytesPerSecond - 1), outRate, 100.0 * (outRate / kBytesPerSecond - 1),
                seconds, stopMs);

    // Each total is what its device delivered, after every block, and every
    // block went back to the device until Stop.
    for (const DeviceProbe::Side* side : {&in, &out}) {
        SCOPED_TRACE(side == &in ? "capture" : "playback");
        EXPECT_EQ(side->miscounted, 0) << "first: total " << side->firstTotal << ", delivered " << side->firstDelivered;
        EXPECT_EQ(side->notRequeued, 0) << "blocks that did not go back to the device";
        EXPECT_EQ(side->queued, side->done) << "every queued block came back by Stop";
    }
    // What the blocks handed back at Stop held (the first may be one that
    // finished just before the reset).
    std::string handedBack;
    for (uint32_t bytes : DeviceProbe::handedBack) handedBack += " " + std::to_string(bytes);
    std::printf("[ measured ] input blocks after the reset at Stop, dwBytesRecorded of %d:%s\n", g_nBlockSize * 2,
                handedBack.c_str());
    EXPECT_EQ(DeviceProbe::handedBack.size(), size_t(CWave::kBlockCount));

    // Save Recording writes exactly the recorded bytes, and none of its
    // blocks repeats an earlier one.
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "mirravox-loopback.wav";
    DeleteFileA(path.c_str());
    {
        FileDialogAnswer dialog(path);
        SaveRecording(hWnd);
        ASSERT_EQ(dialog.Shown(), 1);
    }
    const std::vector<uint8_t> file = ReadWholeFile(path);
    DeleteFileA(path.c_str());
    ASSERT_EQ(file.size(), 44u + size_t(g_nRecordedBytes));
    const uint8_t* data = file.data() + 44;
    const size_t size = file.size() - 44;
    EXPECT_EQ(FirstRepeatedBlock(data, size, size_t(g_nBlockSize) * 2), -1) << "a block recorded twice";

    // The last 8192 samples, up to the very last byte, hold a clear tone: the tail is new sound.
    const int count = 8192, first = int(size / 2) - count;
    ASSERT_GT(first, kRate) << "less than a second recorded";
    std::vector<double> x(count);
    double peak = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* p = data + 2 * (first + i);
        x[i] = double(int16_t(uint16_t(p[0] | (p[1] << 8))));
        peak = std::max(peak, std::fabs(x[i]));
    }
    EXPECT_GT(peak, 32767 * 0.2) << "the tone came back far too quiet, or not at all";
    double weakest = 1e300;
    for (double neighbour : {500.0, 800.0, 900.0, 1100.0, 1200.0, 1500.0, 2000.0, 3000.0})
        weakest = std::min(weakest, PowerAt(x, kTone) / std::max(PowerAt(x, neighbour), 1e-9));
    // A clean loopback gives about 95 dB; with the gaps a loaded machine
    // makes in the stretch we measured 22 to 37 dB; silence or noise, none.
    EXPECT_GT(weakest, 31.6) << "the tone must stand 15 dB above its neighbours";
    // The whole recording comes back at the pitch it was played at: both
    // devices run at the same sample rate, whatever their pace.
    int periods = 0;
    const double pitch = PitchOf(data, size / 2, kTone, &periods);
    EXPECT_GT(periods, kTone) << "less than a second of the tone";
    EXPECT_NEAR(pitch, kTone, 1.0);
    std::printf("[ measured ] recorded peak %.0f; last 8192 samples: the tone %.0f dB above its neighbours; "
                "pitch %.2f Hz over %d periods\n",
                peak, 10 * std::log10(weakest), pitch, periods);
}

} // namespace
