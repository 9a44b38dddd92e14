// CPU load monitor: samples the total processor load once a second (timer 2)
// and keeps the last 15 samples for an average, both shown by the overlay.
//
// The platform's load comes through a CpuLoadSource (cpu_load_sources_win.h
// opens the Windows one); the history and average rules here are portable.
#pragma once

#include <cstdint>
#include <memory>

// Result codes of a failed sample.
constexpr int kCpuCollectFailed = 101;  // collecting the load data failed
constexpr int kCpuFormatFailed = 102;   // turning it into a percentage failed
constexpr int kCpuRegistryFailed = 201; // reading the registry value failed

class CpuLoadSource {
public:
    virtual ~CpuLoadSource() = default;
    // Writes the load in percent since the previous sample and returns 0, or
    // returns one of the codes above.
    virtual int Sample(int* percent) = 0;
};

class CCpuLoad {
public:
    static constexpr int kHistorySize = 15;

    explicit CCpuLoad(std::unique_ptr<CpuLoadSource> source);
    CCpuLoad(const CCpuLoad&) = delete;
    CCpuLoad& operator=(const CCpuLoad&) = delete;

    // Writes the current load to out and returns 0, or writes 0 and returns
    // the source's code; a failed sample leaves the history unchanged.
    int GetCpuLoad(int* out);
    // Mean of the samples taken so far, at most the last 15; 0 before the first.
    float GetAverageLoad() const;
    // Releases the source; later samples fail.
    void Close();

    int m_History[kHistorySize]; // percent; -1 marks a slot not written yet
    int m_nHistoryIndex;         // next slot to write; -1 before the first sample

private:
    std::unique_ptr<CpuLoadSource> m_pSource;
};

// The one monitor, owned by the main window; null when there is none
// (user-interface thread only).
extern CCpuLoad* g_pCpuLoad;
// The values the overlay shows: the last sample and the average.
extern int32_t g_nCpuLoad;
extern float g_fAvgCpuLoad;

// Timer 2: takes one sample of the monitor into g_nCpuLoad and g_fAvgCpuLoad;
// without a monitor both read 0.
void SampleCpuLoad(CCpuLoad* monitor);

// Processor times as GetSystemTimes gives them, in 100 ns units summed over
// all processors; the kernel time includes the idle time (a source whose
// kernel time grew less than its idle time is read as one that leaves it out).
struct CpuTimes {
    uint64_t idle = 0;
    uint64_t kernel = 0;
    uint64_t user = 0;
};

// Percent of the time between two readings that the processors were busy,
// rounded to the nearest percent and kept within 0..100; 0 when no time passed.
int LoadBetween(const CpuTimes& earlier, const CpuTimes& later);
