// The CPU load monitor's history and average through a source that plays
// back a list of samples, and the load between two processor-time readings.
#include "display/cpu_load_monitor.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <numeric>
#include <utility>
#include <vector>

namespace {

// Each sample is {code, percent}; code 0 is a good sample.
class ListSource : public CpuLoadSource {
public:
    explicit ListSource(std::deque<std::pair<int, int>> samples) : m_samples(std::move(samples)) {}
    int Sample(int* percent) override
    {
        const auto next = m_samples.front();
        m_samples.pop_front();
        *percent = next.second;
        return next.first;
    }

private:
    std::deque<std::pair<int, int>> m_samples;
};

std::unique_ptr<CpuLoadSource> Loads(const std::vector<int>& loads)
{
    std::deque<std::pair<int, int>> samples;
    for (int load : loads) samples.push_back({0, load});
    return std::make_unique<ListSource>(samples);
}

float Mean(std::vector<int>::const_iterator first, std::vector<int>::const_iterator last)
{
    return float(std::accumulate(first, last, 0)) / float(last - first);
}

TEST(CpuLoadMonitor, AverageCoversTheSamplesSoFarUpToTheLastFifteen)
{
    std::vector<int> loads;
    for (int i = 0; i < 20; ++i) loads.push_back(5 * i + (i % 3)); // 0, 6, 12, 15, ...
    CCpuLoad monitor(Loads(loads));
    EXPECT_EQ(monitor.GetAverageLoad(), 0.0f) << "before the first sample";
    for (int n = 1; n <= 20; ++n) {
        int load = -1;
        ASSERT_EQ(monitor.GetCpuLoad(&load), 0);
        EXPECT_EQ(load, loads[n - 1]);
        const int first = n > 15 ? n - 15 : 0;
        EXPECT_FLOAT_EQ(monitor.GetAverageLoad(), Mean(loads.begin() + first, loads.begin() + n))
            << "after " << n << " samples";
    }
}

TEST(CpuLoadMonitor, ZeroSamplesCountAndFailedSamplesLeaveTheHistoryAlone)
{
    CCpuLoad monitor(std::make_unique<ListSource>(
        std::deque<std::pair<int, int>>{{0, 0}, {0, 60}, {kCpuCollectFailed, 99}, {kCpuFormatFailed, 99}, {0, 30}}));
    SampleCpuLoad(&monitor);
    SampleCpuLoad(&monitor);
    EXPECT_EQ(g_nCpuLoad, 60);
    EXPECT_FLOAT_EQ(g_fAvgCpuLoad, 30.0f) << "the 0 sample counts";
    SampleCpuLoad(&monitor);
    EXPECT_EQ(g_nCpuLoad, 0) << "a failed sample shows 0 for that second";
    EXPECT_FLOAT_EQ(g_fAvgCpuLoad, 30.0f);
    int load = -1;
    EXPECT_EQ(monitor.GetCpuLoad(&load), kCpuFormatFailed);
    EXPECT_EQ(load, 0);
    SampleCpuLoad(&monitor);
    EXPECT_EQ(g_nCpuLoad, 30);
    EXPECT_FLOAT_EQ(g_fAvgCpuLoad, 30.0f); // (0 + 60 + 30) / 3

    monitor.Close();
    EXPECT_NE(monitor.GetCpuLoad(&load), 0) << "a closed monitor has no source";
    SampleCpuLoad(nullptr);
    EXPECT_EQ(g_nCpuLoad, 0) << "no monitor";
    EXPECT_EQ(g_fAvgCpuLoad, 0.0f);
}

// Switching both CPU lines off destroys the monitor; switching one on again
// builds a new one, whose average starts from its own first sample.
TEST(CpuLoadMonitor, OffAndOnAgainRestartsTheAverage)
{
    auto monitor = std::make_unique<CCpuLoad>(Loads({90, 90, 90}));
    for (int i = 0; i < 3; ++i) SampleCpuLoad(monitor.get());
    EXPECT_FLOAT_EQ(g_fAvgCpuLoad, 90.0f);
    monitor->Close();
    monitor.reset();
    monitor = std::make_unique<CCpuLoad>(Loads({10, 20}));
    SampleCpuLoad(monitor.get());
    EXPECT_FLOAT_EQ(g_fAvgCpuLoad, 10.0f);
    SampleCpuLoad(monitor.get());
    EXPECT_FLOAT_EQ(g_fAvgCpuLoad, 15.0f);
}

TEST(CpuLoadMonitor, LoadBetweenProcessorTimeReadings)
{
    struct Case {
        CpuTimes earlier, later;
        int load;
    };
    // Two processors over one second: 20 000 000 units of 100 ns in all.
    const CpuTimes start{1000, 5000, 3000};
    for (const Case& c : std::vector<Case>{
             {start, {1000 + 10000000, 5000 + 12000000, 3000 + 8000000}, 50}, // one core busy
             {start, {1000 + 20000000, 5000 + 20000000, 3000}, 0},            // all idle
             {start, {1000, 5000 + 4000000, 3000 + 16000000}, 100},           // all busy
             {start, {1000 + 13330000, 5000 + 15000000, 3000 + 5000000}, 33}, // rounded down
             {start, {1000 + 13300000, 5000 + 15000000, 3000 + 5000000}, 34}, // rounded up
             {start, {1000 + 10000000, 5000 + 1000000, 3000 + 9000000}, 50},  // kernel without idle
             {start, start, 0},                                               // no time passed
             {start, {0, 0, 0}, 0},                                           // went backwards
         })
        EXPECT_EQ(LoadBetween(c.earlier, c.later), c.load)
            << c.later.idle << " " << c.later.kernel << " " << c.later.user;
}

} // namespace
