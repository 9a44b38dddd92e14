#include "selftest/loopback_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "selftest/bit_depth.h"
#include "selftest/latency.h"
#include "state/sound_format.h"

namespace {

const double kNone = std::numeric_limits<double>::quiet_NaN();

// Thresholds, as the report states them.
constexpr double kMinMarginDb = 10;
constexpr double kMaxLatencyMs = 1000;
constexpr double kMaxClockPpm = 100;
constexpr double kLevelToleranceDb = 1;
constexpr int kImpulseFirst = -32, kImpulseLast = 96;

// Bits a format can be expected to carry: all of them up to 16; a "24-bit"
// path must at least carry more than a 16-bit one could.
double EnobThreshold(int bits) { return bits <= 16 ? bits - 1.0 : 16.5; }
// The quality a path of min(bits, 16) clean bits easily reaches.
double QualityDb(int bits) { return 6.02 * std::min(bits, 16) - 16; }

std::string Fixed(double v, int decimals, const std::string& unit)
{
    if (std::isnan(v)) return "none";
    if (std::isinf(v)) return v < 0 ? "-infinity " + unit : "infinity " + unit;
    char buf[64];
    // A value that rounds to zero is shown as zero, not "-0.00".
    std::snprintf(buf, sizeof(buf), "%.*f", decimals, std::fabs(v) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : v);
    return unit.empty() ? buf : std::string(buf) + " " + unit;
}

// The stretch of the recording that holds a segment of the programme, less
// a margin at each end (jumps before it may have moved it a little).
std::vector<double> Cut(const std::vector<double>& x, int64_t at, int64_t length, int64_t margin)
{
    const int64_t from = std::max<int64_t>(0, at + margin);
    const int64_t to = std::min<int64_t>(int64_t(x.size()), at + length - margin);
    if (to <= from) return {};
    return std::vector<double>(x.begin() + from, x.begin() + to);
}

class Builder {
public:
    explicit Builder(FormatReport& r) : m_r(r) {}
    void Add(const std::string& key, const std::string& label, double value, const std::string& unit, int decimals,
             const std::string& text = "")
    {
        m_r.figures.push_back({key, label, value, unit, decimals, text});
    }
    void Verdict(const std::string& key, const std::string& label, const std::string& measured,
                 const std::string& threshold, bool pass)
    {
        m_r.checks.push_back({key, label, measured, threshold, pass});
    }

private:
    FormatReport& m_r;
};

} // namespace

std::string FormatName(const LoopbackFormat& f)
{
    return std::to_string(f.rate) + " Hz, " + std::to_string(f.channels) +
           (f.channels == 1 ? " channel, " : " channels, ") + std::to_string(f.bits) + " bits";
}

bool FormatReport::Passed() const
{
    if (!ran) return false;
    return std::all_of(checks.begin(), checks.end(), [](const Check& c) { return c.pass; });
}

const Figure* FormatReport::Find(const std::string& key) const
{
    for (const Figure& f : figures)
        if (f.key == key) return &f;
    return nullptr;
}

int LoopbackReport::ExitCode() const
{
    if (!whyNot.empty() || formats.empty()) return 2;
    for (const FormatReport& f : formats)
        if (!f.ran) return 2;
    for (const FormatReport& f : formats)
        if (!f.Passed()) return 1;
    return 0;
}

FormatReport NotRun(const LoopbackFormat& format, const std::string& why)
{
    FormatReport r;
    r.format = format;
    r.ran = false;
    r.whyNot = why;
    return r;
}

FormatReport AnalyseRecording(const Programme& p, const Recording& rec)
{
    FormatReport r;
    r.format = {p.rate, p.channels, p.bits};
    r.ran = true;
    Builder b(r);
    const double rate = p.rate;
    const std::vector<double> x = DecodeChannel(rec.bytes.data(), rec.bytes.size(), p.channels, p.bits, 0);
    r.recordedFrames = int64_t(x.size());
    b.Add("recorded_seconds", "Sound recorded", double(x.size()) / rate, "s", 3);

    // The marker: looked for from the start of the playback on, over twice
    // the time it should take to come (outputs may start slowly).
    const int64_t searchFrom = std::min<int64_t>(rec.framesBeforePlayback, int64_t(x.size()));
    const int64_t searchTo =
        std::min<int64_t>(int64_t(x.size()), searchFrom + 2 * (p.mls.start + p.mls.length) + int64_t(5 * rate));
    const std::vector<double> region(x.begin() + searchFrom, x.begin() + searchTo);
    const MarkerFound marker = FindMarker(region, p.sequence);
    const std::string marginRule = "found with a margin of at least " + Fixed(kMinMarginDb, 0, "dB");
    if (!marker.found) {
        b.Add("marker_margin_db", "Latency marker's correlation margin", marker.marginDb, "dB", 1);
        b.Verdict("latency", "Round-trip latency", "marker not found (margin " + Fixed(marker.marginDb, 1, "dB") + ")",
                  marginRule, false);
        b.Verdict("analysis", "Other measurements", "not made: without the marker the segments cannot be found",
                  "the marker found", false);
        return r;
    }
    const int64_t markerAt = searchFrom + marker.position;
    // Where a frame of the programme lies in the recording.
    auto at = [&](int64_t programmeFrame) { return markerAt + (programmeFrame - p.mls.start); };

    // Latency: from the program handing the marker's block to the output
    // device to the input handing back the frame where the marker starts.
    // The output ring holds 8 blocks: block j is queued when block j - 8 is
    // handed back as played (the first 8 at the start).
    const double blockFrames = BlockSizeForRate(p.rate);
    const double markerBlock = std::floor(double(p.mls.start) / blockFrames);
    const FrameTime in = TimeOfFrame(rec.input, double(markerAt), 0.5 * rate);
    const FrameTime out = TimeOfFrame(rec.output, std::max(0.0, markerBlock - 7) * blockFrames, 0.5 * rate);
    const double latencyMs = in.valid && out.valid ? (in.seconds - out.seconds) * 1000 : kNone;
    b.Add("latency_ms", "Round-trip latency", latencyMs, "ms", 2, "no timing");
    b.Add("latency_samples", "Round-trip latency", std::round(latencyMs / 1000 * rate), "samples", 0, "no timing");
    b.Add("latency_uncertainty_ms", "Scatter of the device timings it rests on",
          in.valid && out.valid ? std::hypot(in.residualMs, out.residualMs) : kNone, "ms", 2, "no timing");
    b.Add("marker_position", "Marker's first sample in the recording", double(markerAt), "samples", 0);
    b.Add("marker_margin_db", "Latency marker's correlation margin", marker.marginDb, "dB", 1);
    b.Add("marker_peak", "Correlation peak (1: the marker unchanged)", marker.peak, "of full match", 4);
    b.Add("marker_inverted", "Polarity inverted", marker.inverted ? 1 : 0, "flag", 0);
    b.Verdict("latency", "Round-trip latency",
              Fixed(latencyMs, 2, "ms") + " +-" + Fixed(std::hypot(in.residualMs, out.residualMs), 1, "ms") +
                  ", margin " + Fixed(marker.marginDb, 1, "dB"),
              marginRule + ", at most " + Fixed(kMaxLatencyMs, 0, "ms"),
              marker.marginDb >= kMinMarginDb && !std::isnan(latencyMs) && latencyMs <= kMaxLatencyMs);
    r.impulseFirstLag = kImpulseFirst;
    r.impulse = ImpulseResponse(x, markerAt + p.mlsPeriod, p.sequence, kMlsAmplitude, kImpulseFirst, kImpulseLast);

    // The pilot.
    const int64_t pilotMargin = int64_t(0.1 * rate);
    const std::vector<double> pilot = Cut(x, at(p.pilot.start), p.pilot.length, pilotMargin);
    const PilotFigures pf = AnalysePilot(pilot, rate);
    const double pilotSeconds = double(pilot.size()) / rate;
    b.Add("pilot_seconds", "Pilot analysed", pilotSeconds, "s", 3);
    if (pf.valid) {
        b.Add("gaps", "Gaps (dropouts)", pf.gaps, "count", 0);
        b.Add("repeats", "Repeats", pf.repeats, "count", 0);
        b.Add("clicks", "Clicks (jumps that lose and repeat nothing)", pf.clicks, "count", 0);
        b.Add("pilot_level_dbfs", "Pilot's peak level", pf.levelDbfs, "dBFS", 2);
        b.Add("pilot_residual_dbfs", "Pilot's prediction residual", pf.residualDbfs, "dBFS", 1, "none (exact)");
        b.Add("drift_ppm", "Input clock against output clock (pilot phase)", pf.driftPpm, "ppm", 2);
        for (PilotJump j : pf.jumps) {
            j.seconds = double(j.index + pilotMargin) / rate;
            r.jumps.push_back(j);
        }
    }
    const std::string pilotRule = "none in " + Fixed(pilotSeconds, 1, "s") + " of pilot";
    b.Verdict("gaps", "Gaps (dropouts)", pf.valid ? std::to_string(pf.gaps) : "pilot not found", pilotRule,
              pf.valid && pf.gaps == 0);
    b.Verdict("repeats", "Repeats", pf.valid ? std::to_string(pf.repeats) : "pilot not found", pilotRule,
              pf.valid && pf.repeats == 0);
    b.Verdict("clicks", "Clicks", pf.valid ? std::to_string(pf.clicks) : "pilot not found", pilotRule,
              pf.valid && pf.clicks == 0);

    // Clocks over the pilot, the settled part of the run.
    const RateFit inRate =
        FitRate(rec.input, double(at(p.pilot.start)), double(at(p.pilot.start + p.pilot.length)), rate);
    const RateFit outRate = FitRate(rec.output, double(p.pilot.start), double(p.pilot.start + p.pilot.length), rate);
    b.Add("capture_rate_hz", "Capture rate against the performance counter",
          inRate.valid ? inRate.framesPerSecond : kNone, "Hz", 3, "too few device timings");
    b.Add("capture_clock_ppm", "Capture clock error", inRate.valid ? inRate.ppm : kNone, "ppm", 1,
          "too few device timings");
    b.Add("playback_clock_ppm", "Playback clock error", outRate.valid ? outRate.ppm : kNone, "ppm", 1,
          "too few device timings");
    b.Add("timing_scatter_ms", "Scatter of the capture's block timings", inRate.valid ? inRate.residualMs : kNone, "ms",
          2, "too few device timings");
    const std::string ppmRule = "within +-" + Fixed(kMaxClockPpm, 0, "ppm");
    b.Verdict("capture_clock", "Capture clock against the performance counter", Fixed(inRate.ppm, 1, "ppm"), ppmRule,
              inRate.valid && std::fabs(inRate.ppm) <= kMaxClockPpm);
    b.Verdict("drift", "Input clock against output clock", pf.valid ? Fixed(pf.driftPpm, 2, "ppm") : "pilot not found",
              ppmRule, pf.valid && std::fabs(pf.driftPpm) <= kMaxClockPpm);

    // The sine.
    const int64_t sineMargin = std::min<int64_t>(int64_t(0.2 * rate), p.sine.length / 5);
    const std::vector<double> sine = Cut(x, at(p.sine.start), p.sine.length, sineMargin);
    const SineFigures s = AnalyseSine(sine, rate, kSineFrequency);
    r.spectrum = SineSpectrum(sine, rate, 400);
    const int quality = int(std::lround(QualityDb(p.bits) * 10));
    const double qualityDb = quality / 10.0;
    b.Add("sine_frequency_hz", "Sine's frequency", s.valid ? s.frequency : kNone, "Hz", 2, "not found");
    b.Add("level_dbfs", "Sine's level", s.valid ? s.levelDbfs : kNone, "dBFS", 2, "not found");
    b.Add("sine_rms_dbfs", "Sine stretch's RMS", s.rmsDbfs, "dBFS", 2, "silence");
    b.Add("sine_peak_dbfs", "Sine stretch's peak", s.peakDbfs, "dBFS", 2, "silence");
    b.Add("thd_db", "THD (2nd to 10th harmonic)", s.valid ? s.thdDb : kNone, "dB", 1, "below the noise");
    b.Add("thdn_db", "THD+N", s.valid ? s.thdnDb : kNone, "dB", 1, "not found");
    b.Add("snr_db", "SNR", s.valid ? s.snrDb : kNone, "dB", 1, "not found");
    b.Add("sinad_db", "SINAD", s.valid ? s.sinadDb : kNone, "dB", 1, "not found");
    b.Verdict("level", "Level of the 997 Hz sine played at -1 dBFS",
              s.valid ? Fixed(s.levelDbfs, 2, "dBFS") : "not found", "-1 dBFS +-" + Fixed(kLevelToleranceDb, 0, "dB"),
              s.valid && std::fabs(s.levelDbfs - kSineLevelDbfs) <= kLevelToleranceDb);
    b.Verdict("thdn", "THD+N", s.valid ? Fixed(s.thdnDb, 1, "dB") : "not found",
              "at most " + Fixed(-qualityDb, 1, "dB"), s.valid && s.thdnDb <= -qualityDb);
    b.Verdict("snr", "SNR", s.valid ? Fixed(s.snrDb, 1, "dB") : "not found", "at least " + Fixed(qualityDb, 1, "dB"),
              s.valid && s.snrDb >= qualityDb);

    // Silence.
    const int64_t quietMargin = std::min<int64_t>(int64_t(0.2 * rate), p.silence.length / 5);
    const std::vector<double> quiet = Cut(x, at(p.silence.start), p.silence.length, quietMargin);
    const double floorDb = RmsDbfs(quiet);
    const double floorLimit = -(qualityDb + 6);
    b.Add("noise_floor_dbfs", "Noise floor with silence played", std::isinf(floorDb) ? kNone : floorDb, "dBFS", 1,
          "digital silence (every sample 0)");
    b.Verdict("noise_floor", "Noise floor with silence played",
              std::isinf(floorDb) ? "digital silence" : Fixed(floorDb, 1, "dBFS"),
              "at most " + Fixed(floorLimit, 1, "dBFS"), !quiet.empty() && floorDb <= floorLimit);

    // Bits: which low bits change under the dithered sine, and the ENOB.
    const int64_t ditherMargin = std::min<int64_t>(int64_t(0.1 * rate), p.dither.length / 5);
    const int64_t ditherFrom = std::max<int64_t>(0, at(p.dither.start) + ditherMargin);
    const int64_t ditherTo = std::min<int64_t>(int64_t(x.size()), at(p.dither.start) + p.dither.length - ditherMargin);
    const std::vector<int32_t> steps = DecodeChannelSteps(rec.bytes.data(), rec.bytes.size(), p.channels, p.bits, 0);
    const std::vector<int32_t> ditherSteps =
        ditherTo > ditherFrom ? std::vector<int32_t>(steps.begin() + ditherFrom, steps.begin() + ditherTo)
                              : std::vector<int32_t>();
    const int changing = ditherSteps.empty() ? 0 : ChangingBits(ditherSteps, p.bits);
    b.Add("bits_changing", "Bits that change under a dithered signal", changing, "bits", 0);
    b.Add("enob_bits", "ENOB from the SINAD, referred to full scale", s.valid ? s.enob : kNone, "bits", 2, "not found");
    const double effective = s.valid ? std::min(double(changing), s.enob) : kNone;
    b.Add("effective_bits", "Effective bits (the lower of the two)", effective, "bits", 2, "not found");
    b.Verdict("bits_changing", "Low bits that change", std::to_string(changing) + " of " + std::to_string(p.bits),
              "all " + std::to_string(p.bits), changing == p.bits);
    b.Verdict("enob", "ENOB (effective bits)", s.valid ? Fixed(s.enob, 2, "bits") : "not found",
              "at least " + Fixed(EnobThreshold(p.bits), 1, "bits"), s.valid && s.enob >= EnobThreshold(p.bits));
    return r;
}
