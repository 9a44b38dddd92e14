#include "selftest/loopback_run.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "audio/sessions.h"
#include "platform/sync.h"
#include "state/session_state.h"
#include "state/sound_format.h"
#include "state/stores.h"

namespace {

constexpr uint32_t kPollMs = 1;
// Playback may start slowly; past this many times the programme's length
// (plus a margin) the output counts as stalled.
constexpr double kStallFactor = 2.0;
constexpr double kStallMarginSeconds = 10.0;

// Remembers why a session could not start. A begin returns as soon as the
// start has failed, which may be before the report has arrived; the report
// ends with Ended.
class FailureListener : public SessionListener {
public:
    void OnSessionReport(const SessionReport& report) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        const int i = report.kind == SessionKind::Capture ? 0 : 1;
        if (report.notice == SessionNotice::Failed) m_failure[i] = report.failure;
        if (report.notice == SessionNotice::Ended) m_ended[i] = true;
        m_changed.notify_all();
    }
    SessionFailure FailureOnceEnded(SessionKind kind)
    {
        const int i = kind == SessionKind::Capture ? 0 : 1;
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_ended[i]; });
        return m_failure[i];
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    SessionFailure m_failure[2] = {SessionFailure::None, SessionFailure::None};
    bool m_ended[2] = {false, false};
};

std::string FailureText(SessionKind kind, SessionFailure failure)
{
    const std::string device = kind == SessionKind::Capture ? "input" : "output";
    switch (failure) {
    case SessionFailure::FormatRefused: return "the " + device + " device refused the format";
    case SessionFailure::OpenFailed: return "the " + device + " device could not be opened (no device, or in use)";
    case SessionFailure::NoObject: return "the " + device + " session could not be started (no memory)";
    case SessionFailure::None: break;
    }
    return "the " + device + " session ended at once";
}

void SetFormat(const Programme& p)
{
    g_nSampleRate = p.rate;
    g_nChannels = p.channels;
    g_nBitsPerSample = p.bits;
    g_nBytesPerSec = p.rate * p.channels * p.bits / 8;
    g_nBlockSize = BlockSizeForRate(p.rate);
}

double Now() { return double(SyncCounter()) / double(SyncCounterFrequency()); }

// Notes the frame counts whenever they change.
class Poller {
public:
    explicit Poller(Recording* r) : m_r(r), m_frameBytes(FrameBytes()) {}
    void Poll()
    {
        const double t = Now();
        const double in = double(g_nRecordedBytes.load() / m_frameBytes);
        const double out = double(g_nOutputBytes.load() / m_frameBytes);
        if (m_r->input.empty() || in != m_r->input.back().frames) m_r->input.push_back({t, in});
        if (g_bPlaying && (m_r->output.empty() || out != m_r->output.back().frames)) m_r->output.push_back({t, out});
    }
    int64_t In() const { return int64_t(g_nRecordedBytes.load() / m_frameBytes); }
    int64_t Out() const { return int64_t(g_nOutputBytes.load() / m_frameBytes); }

private:
    Recording* m_r;
    int32_t m_frameBytes;
};

} // namespace

std::vector<LoopbackFormat> DefaultLoopbackFormats() { return {{44100, 2, 16}, {48000, 2, 16}, {96000, 2, 24}}; }

bool PlayAndRecord(const Programme& p, double firstSoundSeconds, Recording* rec, std::string* whyNot)
{
    SetFormat(p);
    const int64_t frameBytes = FrameBytes();
    const int64_t block = BlockBytes();
    // Room for the programme twice over plus the wait for the first sound,
    // in whole blocks, so that neither store wraps.
    const int64_t want = (2 * p.frames + int64_t((firstSoundSeconds + kStallMarginSeconds) * p.rate)) * frameBytes;
    const int64_t storeBytes = (want / block + 2) * block;
    const int64_t sourceBytes = p.frames * frameBytes;
    FreeStores();
    if (storeBytes > INT32_MAX || !AllocateInputStore(int32_t(storeBytes)) ||
        !AllocateOutputStore(int32_t(storeBytes)) || !AllocatePlaybackSource(int32_t(sourceBytes))) {
        FreeStores();
        FreePlaybackSource();
        *whyNot = "not enough memory for the stores of the run";
        return false;
    }
    ResetStores();
    EncodeFrames(p.mono, p.channels, p.bits, g_pPlaybackSource);

    FailureListener listener;
    SetSessionListener(&listener);
    Poller poller(rec);
    bool ok = true;
    BeginSession(SessionKind::Capture);
    if (!g_bRecording) {
        *whyNot = FailureText(SessionKind::Capture, listener.FailureOnceEnded(SessionKind::Capture));
        ok = false;
    }
    const double firstSoundBy = Now() + firstSoundSeconds;
    while (ok && poller.In() == 0 && Now() < firstSoundBy && g_bRecording) {
        poller.Poll();
        SyncSleep(kPollMs);
    }
    if (ok && poller.In() == 0) {
        *whyNot = "the input delivered no sound within " + std::to_string(int(firstSoundSeconds)) + " s of its start";
        ok = false;
    }
    if (ok) {
        rec->framesBeforePlayback = poller.In();
        BeginSession(SessionKind::Playback);
        if (!g_bPlaying) {
            *whyNot = FailureText(SessionKind::Playback, listener.FailureOnceEnded(SessionKind::Playback));
            ok = false;
        }
    }
    if (ok) {
        const double stalledBy = Now() + kStallFactor * double(p.frames) / p.rate + kStallMarginSeconds;
        while (poller.Out() < p.frames && Now() < stalledBy && g_bPlaying && g_bRecording) {
            poller.Poll();
            SyncSleep(kPollMs);
        }
        poller.Poll();
        if (poller.Out() < p.frames) {
            *whyNot = "the output played " + std::to_string(poller.Out()) + " of " + std::to_string(p.frames) +
                      " frames, then " + (g_bPlaying && g_bRecording ? "stalled" : "stopped");
            ok = false;
        }
    }
    StopSessions();
    SetSessionListener(nullptr);
    if (ok) {
        const int32_t bytes = g_nRecordedBytes.load();
        rec->bytes.assign(g_pInputBuffer, g_pInputBuffer + bytes);
    }
    FreeStores();
    FreePlaybackSource();
    return ok;
}

LoopbackReport RunLoopback(const LoopbackOptions& options)
{
    LoopbackReport report;
    report.inputDevice = g_nInputDeviceId;
    report.outputDevice = g_nOutputDeviceId;
    report.pilotSeconds = options.times.pilotSeconds;
    for (const LoopbackFormat& f : options.formats) {
        const Programme p = BuildProgramme(f.rate, f.channels, f.bits, options.times);
        Recording rec;
        std::string whyNot;
        if (PlayAndRecord(p, options.firstSoundSeconds, &rec, &whyNot))
            report.formats.push_back(AnalyseRecording(p, rec));
        else
            report.formats.push_back(NotRun(f, whyNot));
    }
    return report;
}
