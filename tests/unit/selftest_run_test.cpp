// The loopback run through the real sessions on the simulated device, its
// output fed back to its input, and the command line and report files
// around it.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <sstream>

#include "app/command_line.h"
#include "platform/sim_wave_device.h"
#include "selftest/loopback_run.h"
#include "selftest/report_writers.h"
#include "state/sound_format.h"
#include "state/stores.h"

namespace {

// The simulated devices, what the output plays coming back at the input once
// 4096 bytes have gathered, as through a cable.
class SelftestRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetOutputSink([this](const uint8_t* data, uint32_t bytes) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_cable.insert(m_cable.end(), data, data + bytes);
        });
        SimSetInputSignal([this](uint8_t* data, uint32_t bytes, uint64_t) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_flowing = m_flowing || m_cable.size() >= 4096;
            for (uint32_t i = 0; i < bytes; ++i) {
                data[i] = m_flowing && !m_cable.empty() ? m_cable.front() : 0;
                if (m_flowing && !m_cable.empty()) m_cable.pop_front();
            }
        });
    }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
        // The run chose its own formats; the other suites expect theirs.
        g_nSampleRate = m_saved[0], g_nChannels = m_saved[1], g_nBitsPerSample = m_saved[2];
        g_nBytesPerSec = m_saved[3], g_nBlockSize = m_saved[4];
    }
    const int32_t m_saved[5] = {g_nSampleRate, g_nChannels, g_nBitsPerSample, g_nBytesPerSec, g_nBlockSize};
    std::mutex m_lock;
    std::deque<uint8_t> m_cable;
    bool m_flowing = false;
};

TEST_F(SelftestRun, ASimulatedCableMeasuresCleanAndARefusedFormatSaysWhy)
{
    SimSetFormatRule([](SimDirection d, uint32_t, const WaveFormatExtensible& f) {
        return !(d == kSimOutput && f.Format.wBitsPerSample == 24);
    });
    LoopbackOptions options;
    options.times = {0.3, 12, 1.0, 0.3, 0.3, 2.0, 0.5};
    options.firstSoundSeconds = 2;
    options.formats = {{8000, 1, 16}, {8000, 2, 24}};
    const LoopbackReport report = RunLoopback(options);
    ASSERT_EQ(report.formats.size(), 2u);
    const FormatReport& f = report.formats[0];
    ASSERT_TRUE(f.ran) << f.whyNot;
    for (const Check& c : f.checks)
        EXPECT_TRUE(c.pass || c.key == "capture_clock") << c.label << ": " << c.measured << " (" << c.threshold << ")";
    EXPECT_EQ((std::vector<double>{f.Find("gaps")->value, f.Find("repeats")->value, f.Find("bits_changing")->value}),
              (std::vector<double>{0, 0, 16}));
    EXPECT_NEAR(f.Find("level_dbfs")->value, -1, 0.01);
    EXPECT_NEAR(f.Find("enob_bits")->value, 16, 0.1);
    EXPECT_NEAR(f.Find("drift_ppm")->value, 0, 0.5);
    // The marker starts 2400 frames (300 ms) into the first 8 blocks, which
    // are all queued at the start; then the cable holds 4096 bytes (2048
    // frames, 256 ms) unless the capture starts later than the playback and
    // finds the cable full already: on a loaded machine anywhere between.
    EXPECT_GE(f.Find("latency_ms")->value, 300 - 64);
    EXPECT_LE(f.Find("latency_ms")->value, 300 + 256 + 64);

    EXPECT_FALSE(report.formats[1].ran);
    EXPECT_EQ(report.formats[1].whyNot, "the output device refused the format");
    EXPECT_EQ(report.ExitCode(), 2);
    EXPECT_EQ(g_pInputBuffer, nullptr) << "the stores are left freed";
}

TEST(SelftestCommandLine, LoopbackArguments)
{
    const char* const kFormatWants =
        "loopback-report 0 30 /format wants RATE,CHANNELS,BITS: a rate of 8000 to 128000 Hz, "
        "1 or 2 channels, 8, 16 or 24 bits";
    const struct {
        std::vector<const char*> argv;
        const char* readAs; // folder, formats, seconds, error; "-" when not a loopback command
    } cases[] = {
        {{"m", "/loopback"}, "loopback-report 0 30"},
        {{"m", "/LOOPBACK", "C:\\r", "/format", "48000,1,24", "/format", "8000,2,8", "/seconds", "3"}, "C:\\r 2 3"},
        {{"m", "/loopback", "/Install"}, "loopback-report 0 30 unknown option /Install"},
        {{"m", "/loopback", "/format", "44100,3,16"}, kFormatWants},
        {{"m", "/loopback", "/format", "5000,2,16"}, kFormatWants},
        {{"m", "/loopback", "/seconds", "0.5"},
         "loopback-report 0 30 /seconds wants the pilot's length, 1 to 3600 seconds"},
        {{"m", "/loopback", "a", "b"}, "a 0 30 a second report folder: b"},
        {{"m", "/Install", "/loopback"}, "-"},
        {{"m", "/loop"}, "-"},
    };
    for (const auto& c : cases) {
        const LoopbackCommand l = ParseLoopbackCommand(int(c.argv.size()), c.argv.data());
        std::ostringstream s;
        s << l.folder << " " << l.formats.size() << " " << l.seconds << (l.error.empty() ? "" : " ") << l.error;
        EXPECT_EQ(l.present ? s.str() : "-", c.readAs);
    }
}

// A recording of the programme through a perfect path with a latency of
// 1234 frames, its device timings on a 10 ms grid.
Recording PerfectPath(const Programme& p, int64_t latency)
{
    Recording rec;
    const int64_t before = p.rate / 2;
    std::vector<double> heard(size_t(before + latency), 0.0);
    heard.insert(heard.end(), p.mono.begin(), p.mono.end());
    rec.bytes.resize(heard.size() * size_t(p.channels * p.bits / 8));
    EncodeFrames(heard, p.channels, p.bits, rec.bytes.data());
    rec.framesBeforePlayback = before;
    for (double t = 0; t < double(p.frames) / p.rate; t += 0.01) {
        rec.output.push_back({t, std::floor(t * p.rate)});
        rec.input.push_back({t, std::floor(t * p.rate) + double(before)});
    }
    return rec;
}

TEST(SelftestReport, PerfectPathPassesAndEveryFigureHasItsUnit)
{
    const Programme p = BuildProgramme(44100, 2, 16, {0.5, 14, 1.0, 0.5, 0.5, 3.0, 0.5});
    LoopbackReport report;
    report.formats.push_back(AnalyseRecording(p, PerfectPath(p, 1234)));
    const FormatReport& f = report.formats[0];
    EXPECT_EQ(f.Find("marker_position")->value, 22050 + 1234 + p.mls.start);
    // Queued behind 7 blocks of 1024 frames, then 1234 frames late.
    EXPECT_NEAR(f.Find("latency_samples")->value, 1234 + p.mls.start - (p.mls.start / 1024 - 7) * 1024, 1);
    EXPECT_EQ(report.ExitCode(), 0);
    for (const Check& c : f.checks) EXPECT_TRUE(c.pass) << c.label << ": " << c.measured;
    ASSERT_GT(f.impulse.size(), 40u);
    EXPECT_NEAR(f.impulse[size_t(-f.impulseFirstLag)], 1.0, 0.01) << "the response peaks at lag 0";

    const std::string json = ReportJson(report);
    for (const Figure& fig : f.figures) {
        const std::regex entry("\"" + fig.key + "\": \\{\"value\": (-?[0-9.]+|null), \"unit\": \"[^\"]+\"\\}");
        EXPECT_TRUE(std::regex_search(json, entry)) << fig.key;
    }
    const std::string html = ReportHtml(report);
    size_t svgs = 0;
    for (size_t at = html.find("<svg"); at != std::string::npos; at = html.find("<svg", at + 1)) ++svgs;
    EXPECT_EQ(svgs, 2u) << "the impulse response and the spectrum";

    // A 16-bit recording carried in 24-bit samples: the format claims 24 bits.
    const Programme p24 = BuildProgramme(44100, 1, 24, {0.5, 14, 1.0, 0.5, 0.5, 3.0, 0.5});
    Programme padded = p24;
    for (double& v : padded.mono) v = std::round(v * 32768) / 32768;
    report.formats.push_back(AnalyseRecording(p24, PerfectPath(padded, 10)));
    EXPECT_EQ(report.formats[1].Find("bits_changing")->value, 16);
    EXPECT_NEAR(report.formats[1].Find("effective_bits")->value, 16, 0.1);
    EXPECT_EQ(report.ExitCode(), 1);
}

TEST(SelftestReport, TheThreeFilesAreWrittenAndAWrongCommandSaysWhy)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "mirravox-report-test" / "nested";
    std::filesystem::remove_all(folder.parent_path());
    LoopbackReport report;
    report.whyNot = "unknown option /x";
    std::string error;
    ASSERT_TRUE(WriteReports(report, folder.string(), &error)) << error;
    for (const char* name : {"report.json", "report.txt", "report.html"}) {
        std::ifstream in(folder / name);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_NE(text.str().find("unknown option /x"), std::string::npos) << name;
    }
    EXPECT_EQ(report.ExitCode(), 2);
    std::filesystem::remove_all(folder.parent_path());
}

} // namespace
