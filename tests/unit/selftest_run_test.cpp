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
#include "state/stores.h"

namespace {

// What the output plays comes back at the input once a few blocks have
// gathered, as through a cable.
class SimCable {
public:
    explicit SimCable(size_t delayBytes) : m_delay(delayBytes)
    {
        SimSetOutputSink([this](const uint8_t* data, uint32_t bytes) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_fifo.insert(m_fifo.end(), data, data + bytes);
        });
        SimSetInputSignal([this](uint8_t* data, uint32_t bytes, uint64_t) {
            std::lock_guard<std::mutex> lock(m_lock);
            if (!m_flowing) m_flowing = m_fifo.size() >= m_delay;
            for (uint32_t i = 0; i < bytes; ++i) {
                const bool have = m_flowing && !m_fifo.empty();
                data[i] = have ? m_fifo.front() : 0;
                if (have) m_fifo.pop_front();
            }
        });
    }

private:
    std::mutex m_lock;
    std::deque<uint8_t> m_fifo;
    size_t m_delay;
    bool m_flowing = false;
};

class SelftestRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        m_options.times = {0.3, 12, 1.0, 0.3, 0.3, 2.0, 0.5};
        m_options.firstSoundSeconds = 2;
    }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
    }
    LoopbackOptions m_options;
};

TEST_F(SelftestRun, ASimulatedCableMeasuresClean)
{
    SimCable cable(4 * 1024);
    m_options.formats = {{8000, 1, 16}};
    const LoopbackReport report = RunLoopback(m_options);
    ASSERT_EQ(report.formats.size(), 1u);
    const FormatReport& f = report.formats[0];
    ASSERT_TRUE(f.ran) << f.whyNot;
    for (const Check& c : f.checks)
        if (c.key != "capture_clock") {
            EXPECT_TRUE(c.pass) << c.label << ": " << c.measured << " (" << c.threshold << ")";
        }
    EXPECT_EQ(f.Find("gaps")->value, 0);
    EXPECT_EQ(f.Find("repeats")->value, 0);
    EXPECT_NEAR(f.Find("level_dbfs")->value, -1, 0.01);
    EXPECT_NEAR(f.Find("enob_bits")->value, 16, 0.1);
    EXPECT_NEAR(f.Find("drift_ppm")->value, 0, 0.5);
    EXPECT_EQ(f.Find("bits_changing")->value, 16);
    // The marker starts 2400 frames (300 ms) into the first 8 blocks, which
    // are all queued at the start; then the cable holds 4096 bytes: 2048
    // frames, 256 ms.
    EXPECT_NEAR(f.Find("latency_ms")->value, 300 + 256, 64);
    EXPECT_EQ(g_pInputBuffer, nullptr) << "the stores are left freed";
}

TEST_F(SelftestRun, ARefusedFormatCouldNotRunAndSaysWhy)
{
    SimSetFormatRule([](SimDirection d, uint32_t, const WaveFormatExtensible& f) {
        return !(d == kSimOutput && f.Format.wBitsPerSample == 24);
    });
    m_options.formats = {{8000, 2, 24}};
    const LoopbackReport report = RunLoopback(m_options);
    ASSERT_EQ(report.formats.size(), 1u);
    EXPECT_FALSE(report.formats[0].ran);
    EXPECT_EQ(report.formats[0].whyNot, "the output device refused the format");
    EXPECT_EQ(report.ExitCode(), 2);
}

TEST(SelftestCommandLine, LoopbackArgumentsAndTheInstallSwitch)
{
    struct {
        std::vector<const char*> argv;
        bool present, install;
        std::string error, folder;
        size_t formats;
        double seconds;
    } const cases[] = {
        {{"m", "/loopback"}, true, false, "", "loopback-report", 0, 30},
        {{"m", "/LOOPBACK", "C:\\r", "/format", "48000,1,24", "/format", "8000,2,8", "/seconds", "3"},
         true,
         false,
         "",
         "C:\\r",
         2,
         3},
        {{"m", "/loopback", "/Install"}, true, false, "unknown option /Install", "loopback-report", 0, 30},
        {{"m", "/loopback", "/format", "44100,3,16"}, true, false, "/format wants", "loopback-report", 0, 30},
        {{"m", "/loopback", "/format", "5000,2,16"}, true, false, "/format wants", "loopback-report", 0, 30},
        {{"m", "/loopback", "/seconds", "0.5"}, true, false, "/seconds wants", "loopback-report", 0, 30},
        {{"m", "/loopback", "a", "b"}, true, false, "a second report folder: b", "a", 0, 30},
        {{"m", "/I"}, false, true, "", "loopback-report", 0, 30},
        {{"m", "/Install", "/loopback"}, false, true, "", "loopback-report", 0, 30},
        {{"m", "/loop"}, false, false, "", "loopback-report", 0, 30},
    };
    for (const auto& c : cases) {
        const LoopbackCommand l = ParseLoopbackCommand(int(c.argv.size()), c.argv.data());
        const std::string line = c.argv.size() > 1 ? c.argv[1] : "";
        EXPECT_EQ(l.present, c.present) << line;
        EXPECT_EQ(HasInstallSwitch(int(c.argv.size()), c.argv.data()), c.install) << line;
        EXPECT_EQ(l.error.substr(0, c.error.size()), c.error) << line;
        EXPECT_EQ(l.error.empty(), c.error.empty()) << line;
        EXPECT_EQ(l.folder, c.folder) << line;
        EXPECT_EQ(l.formats.size(), c.formats) << line;
        EXPECT_EQ(l.seconds, c.seconds) << line;
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
    EXPECT_EQ(std::count(html.begin(), html.end(), '\n') > 20, true);
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
