// The CPU load monitor's history and average through a source that plays
// back a list of samples, and the load between two processor-time readings.
#include "display/cpu_load_monitor.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <utility>

namespace {

// Plays back {code, percent} samples; code 0 is a good sample.
struct ListSource : CpuLoadSource {
    std::deque<std::pair<int, int>> samples;
    int Sample(int* percent) override
    {
        const auto next = samples.front();
        samples.pop_front();
        *percent = next.second;
        return next.first;
    }
};
std::unique_ptr<CpuLoadSource> Loads(std::deque<std::pair<int, int>> samples)
{
    auto source = std::make_unique<ListSource>();
    source->samples = std::move(samples);
    return source;
}

// The overlay's two numbers after each tick. A new monitor (the CPU lines
// switched off and on again) starts its average from its own first sample.
TEST(CpuLoadMonitor, LastSampleAndTheAverageOfUpToFifteenGoodOnes)
{
    std::deque<std::pair<int, int>> samples = {{0, 0}, {0, 60}, {kCpuCollectFailed, 99}, {0, 30}};
    samples.insert(samples.end(), 15, {0, 90});
    samples.push_back({kCpuFormatFailed, 99});
    CCpuLoad monitor(Loads(samples));
    EXPECT_EQ(monitor.GetAverageLoad(), 0.0f) << "before the first sample";
    const struct {
        int tick, load;
        float average;
    } checks[] = {{1, 0, 0},    {2, 60, 30},  {3, 0, 30},    // the 0 counts; a failed sample shows 0 and is not kept
                  {4, 30, 30},  {5, 90, 45},  {16, 90, 78},  // fifteen samples
                  {17, 90, 84}, {18, 90, 86}, {19, 90, 90}}; // the oldest leave
    int tick = 0;
    for (const auto& c : checks) {
        while (tick < c.tick) ++tick, SampleCpuLoad(&monitor);
        EXPECT_EQ(g_nCpuLoad, c.load) << "tick " << tick;
        EXPECT_FLOAT_EQ(g_fAvgCpuLoad, c.average) << "tick " << tick;
    }
    int load = -1;
    EXPECT_EQ(monitor.GetCpuLoad(&load), kCpuFormatFailed);
    EXPECT_EQ(load, 0);
    monitor.Close();
    EXPECT_NE(monitor.GetCpuLoad(&load), 0) << "a closed monitor has no source";

    CCpuLoad next(Loads({{0, 10}, {0, 20}}));
    SampleCpuLoad(&next);
    SampleCpuLoad(&next);
    EXPECT_FLOAT_EQ(g_fAvgCpuLoad, 15.0f);
    SampleCpuLoad(nullptr);
    EXPECT_EQ(std::make_pair(g_nCpuLoad, g_fAvgCpuLoad), std::make_pair(0, 0.0f)) << "no monitor";
}

TEST(CpuLoadMonitor, LoadBetweenProcessorTimeReadings)
{
    // Two processors over one second: 20 000 000 units of 100 ns in all.
    const CpuTimes start{1000, 5000, 3000};
    const std::pair<CpuTimes, int> cases[] = {
        {{1000 + 10000000, 5000 + 12000000, 3000 + 8000000}, 50}, // one core busy
        {{1000 + 20000000, 5000 + 20000000, 3000}, 0},            // all idle
        {{1000, 5000 + 4000000, 3000 + 16000000}, 100},           // all busy
        {{1000 + 13330000, 5000 + 15000000, 3000 + 5000000}, 33}, // rounded down
        {{1000 + 13300000, 5000 + 15000000, 3000 + 5000000}, 34}, // rounded up
        {{1000 + 10000000, 5000 + 1000000, 3000 + 9000000}, 50},  // kernel without idle
        {start, 0},                                               // no time passed
        {{0, 0, 0}, 0},                                           // went backwards
    };
    for (const auto& [later, load] : cases)
        EXPECT_EQ(LoadBetween(start, later), load) << later.idle << " " << later.kernel << " " << later.user;
}

} // namespace
