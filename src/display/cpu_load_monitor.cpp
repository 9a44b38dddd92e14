#include "display/cpu_load_monitor.h"

#include <utility>

CCpuLoad* g_pCpuLoad = nullptr;
int32_t g_nCpuLoad = 0;
float g_fAvgCpuLoad = 0.0f;

CCpuLoad::CCpuLoad(std::unique_ptr<CpuLoadSource> source) : m_nHistoryIndex(-1), m_pSource(std::move(source))
{
    // Until the first sample every slot holds 0, so the average reads 0.
    for (int& slot : m_History) slot = 0;
}

int CCpuLoad::GetCpuLoad(int* out)
{
    *out = 0;
    if (!m_pSource) return kCpuCollectFailed;
    int load = 0;
    const int code = m_pSource->Sample(&load);
    if (code != 0) return code;
    *out = load;
    if (m_nHistoryIndex < 0) {
        for (int& slot : m_History) slot = -1;
        m_History[0] = load;
        m_nHistoryIndex = 1;
    } else {
        m_History[m_nHistoryIndex] = load;
        m_nHistoryIndex = (m_nHistoryIndex + 1) % kHistorySize;
    }
    return 0;
}

float CCpuLoad::GetAverageLoad() const
{
    int sum = 0;
    int count = 0;
    for (int slot : m_History) {
        if (slot < 0) continue;
        sum += slot;
        ++count;
    }
    return count > 0 ? float(sum) / float(count) : 0.0f;
}

void CCpuLoad::Close() { m_pSource.reset(); }

void SampleCpuLoad(CCpuLoad* monitor)
{
    int load = 0;
    float average = 0.0f;
    if (monitor) {
        monitor->GetCpuLoad(&load); // a failed sample shows 0 for this second
        average = monitor->GetAverageLoad();
    }
    g_nCpuLoad = load;
    g_fAvgCpuLoad = average;
}

int LoadBetween(const CpuTimes& earlier, const CpuTimes& later)
{
    // Unsigned differences: a reading that went backwards counts as no time.
    const uint64_t idle = later.idle >= earlier.idle ? later.idle - earlier.idle : 0;
    const uint64_t kernel = later.kernel >= earlier.kernel ? later.kernel - earlier.kernel : 0;
    const uint64_t user = later.user >= earlier.user ? later.user - earlier.user : 0;
    // The kernel time includes the idle time; less kernel than idle time
    // cannot, so such a source left it out and the idle time is added.
    const uint64_t total = kernel >= idle ? kernel + user : kernel + user + idle;
    if (total == 0) return 0;
    const uint64_t busy = total > idle ? total - idle : 0;
    return int((busy * 100 + total / 2) / total);
}
