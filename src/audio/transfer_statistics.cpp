#include "audio/transfer_statistics.h"

#include <cstdio>

#include "audio/wave.h"
#include "state/session_state.h"

RateSamples g_InSamples;
RateSamples g_OutSamples;

namespace {

// An output rate below this many bytes per second is no sound at all.
constexpr int32_t kLostOutputRate = 100;
// Wine's output runs slowly for its first 1 to 2 s; no verdict before that.
constexpr float kLostOutputGraceSeconds = 2.0f;
// Four low ticks in a row, 500 ms apart: at least 2 s of silence from the
// device.
constexpr int32_t kLostOutputTicks = 3;

constexpr float kBytesPerMegabyte = 1.0f / 1048576.0f;

// A window shorter than this (Stop's update soon after a tick) holds too few
// blocks for a rate: the sample before is taken instead.
constexpr int64_t kShortestWindowDivisor = 4; // a quarter of a second

// The actual rate since the previous sample of a direction, over at least a
// quarter of a second when the samples allow it. A sample older than the
// device's start belongs to an earlier session, whose total says nothing
// about this object's: the window then opens at the start, with total 0.
int32_t ActualRate(const RateSamples& h, int64_t now, int64_t total, int64_t start, int64_t frequency)
{
    int64_t fromTime = h.lastTime;
    int64_t fromTotal = h.lastTotal;
    if (now - fromTime < frequency / kShortestWindowDivisor && h.priorTime >= start) {
        fromTime = h.priorTime;
        fromTotal = h.priorTotal;
    }
    if (fromTime < start) {
        fromTime = start;
        fromTotal = 0;
    }
    return ByteRate(total - fromTotal, now - fromTime, frequency);
}

void Record(RateSamples* h, int64_t time, int64_t total)
{
    h->priorTime = h->lastTime;
    h->priorTotal = h->lastTotal;
    h->lastTime = time;
    h->lastTotal = total;
}

} // namespace

float CounterSeconds(int64_t ticks, int64_t frequency)
{
    if (frequency <= 0) return 0.0f;
    return float(double(ticks) / double(frequency));
}

int32_t ByteRate(int64_t bytes, int64_t ticks, int64_t frequency)
{
    if (bytes <= 0 || ticks <= 0 || frequency <= 0) return 0;
    // Exact: seconds rounded to a float made a capture at exactly the nominal
    // rate read one byte per second low now and then.
    const unsigned __int128 rate = (unsigned __int128)bytes * uint64_t(frequency) / uint64_t(ticks);
    // A handful of bytes over a microsecond must not overflow the field.
    return rate > 2147483647u ? 2147483647 : int32_t(rate);
}

std::string AverageText(int32_t rate, int32_t requested)
{
    float percent = 0.0f;
    if (requested > 0) {
        const float d = float(double(rate - requested) / double(requested));
        percent = float(d * 100.0);
    }
    char text[48];
    std::snprintf(text, sizeof(text), "%d (%+0.2f%%)", rate, double(percent));
    return text;
}

std::string FillText(int percent, int32_t bytes, float seconds)
{
    const float megabytes = float(bytes) * kBytesPerMegabyte;
    char text[64];
    std::snprintf(text, sizeof(text), "%d%% %0.1fMB %0.1fSec", percent, double(megabytes), double(seconds));
    return text;
}

void ResetTransferStatistics()
{
    g_InSamples = RateSamples();
    g_OutSamples = RateSamples();
    g_nLostOutputCount = 0;
}

TransferTexts UpdateTransferStatistics(const TransferSources& s, CounterReader readCounter)
{
    TransferTexts t;
    const CWave* in = s.input;
    const CWave* out = s.output;

    // 1. Average input rate since the capture start.
    int64_t now = readCounter();
    int32_t rate = in ? ByteRate(in->m_nTotalIn, now - s.captureStart, s.frequency) : 0;
    t.averageIn = AverageText(rate, s.bytesPerSec);

    // 2. Actual input rate since the previous sample.
    now = readCounter();
    const int64_t totalIn = in ? int64_t(in->m_nTotalIn) : 0;
    rate = in ? ActualRate(g_InSamples, now, totalIn, s.captureStart, s.frequency) : 0;
    t.actualIn = std::to_string(uint32_t(rate));
    Record(&g_InSamples, readCounter(), totalIn);

    // 3. Average output rate; the seconds since the playback start are also
    //    the grace period of the lost-device rule.
    now = readCounter();
    const float playedSeconds = CounterSeconds(now - s.playbackStart, s.frequency);
    rate = out ? ByteRate(out->m_nTotalOut, now - s.playbackStart, s.frequency) : 0;
    t.averageOut = AverageText(rate, s.bytesPerSec);

    // 4. Actual output rate, and the lost-device rule while a playback runs.
    now = readCounter();
    const int64_t totalOut = out ? int64_t(out->m_nTotalOut) : 0;
    rate = 0;
    if (out) {
        rate = ActualRate(g_OutSamples, now, totalOut, s.playbackStart, s.frequency);
        if (rate < kLostOutputRate && playedSeconds > kLostOutputGraceSeconds) {
            if (++g_nLostOutputCount > kLostOutputTicks) t.outputLost = true;
        } else {
            g_nLostOutputCount = 0;
        }
    }
    t.actualOut = std::to_string(uint32_t(rate));
    Record(&g_OutSamples, readCounter(), totalOut);

    // 5. Recording store fill.
    if (in) {
        int percent = 0;
        float seconds = 0.0f;
        in->GetStoreStatus(&percent, nullptr, &seconds, nullptr);
        t.fillIn = FillText(percent, s.recordedBytes, seconds);
    }

    // 6. Playback store fill, in the format the device plays; not after the
    //    device was found lost, as the playback no longer runs.
    if (out && !t.outputLost) {
        const int percent = s.outputBufferSize > 0 ? int(int64_t(s.outputBytes) * 100 / s.outputBufferSize) : 0;
        const int32_t bytesPerSecond = out->m_nBitsPerSample / 8 * out->m_nSampleRate * out->m_nChannels;
        const float seconds = bytesPerSecond > 0 ? float(s.outputBytes) / float(bytesPerSecond) : 0.0f;
        t.fillOut = FillText(percent, s.outputBytes, seconds);
    }
    return t;
}
