// The loopback self-test's measurements against made-up recordings with
// known faults: each case sets the fault and checks that the figure found is
// right within a stated tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>
#include <vector>

#include "selftest/bit_depth.h"
#include "selftest/latency.h"
#include "selftest/pilot_analysis.h"
#include "selftest/sine_analysis.h"
#include "selftest/stream_timing.h"
#include "selftest/test_signals.h"

namespace {

std::vector<double> Noise(size_t n, double rmsDbfs, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(0.0, DbToAmplitude(rmsDbfs) / std::sqrt(2.0));
    std::vector<double> x(n);
    for (double& v : x) v = normal(random);
    return x;
}

// Rounded to the steps of a format and back, as a recording would hold it.
std::vector<double> Quantised(const std::vector<double>& x, int bits)
{
    std::vector<double> q(x.size());
    const double scale = FullScaleSteps(bits);
    for (size_t i = 0; i < x.size(); ++i) q[i] = std::round(x[i] * scale) / scale;
    return q;
}

std::vector<double> Sine(size_t n, double rate, double hz, double dbfs, int harmonic = 0, double harmonicDb = 0)
{
    std::vector<double> x(n);
    for (size_t i = 0; i < n; ++i) {
        const double phase = 2 * kPi * hz * double(i) / rate;
        x[i] = DbToAmplitude(dbfs) * std::sin(phase);
        if (harmonic) x[i] += DbToAmplitude(dbfs + harmonicDb) * std::sin(harmonic * phase + 0.3);
    }
    return x;
}

TEST(SelftestSignals, MaximumLengthSequencesAreMaximal)
{
    for (int order : {4, 8, 10, 12, 13, 14, 15, 16}) {
        const std::vector<double> s = MaximumLengthSequence(order);
        ASSERT_EQ(s.size(), (size_t(1) << order) - 1);
        // Circular autocorrelation: the length at lag 0, -1 at every other lag.
        for (size_t lag : {size_t(1), size_t(2), s.size() / 3, s.size() - 1}) {
            double sum = 0;
            for (size_t i = 0; i < s.size(); ++i) sum += s[i] * s[(i + lag) % s.size()];
            EXPECT_EQ(sum, -1.0) << "order " << order << " lag " << lag;
        }
    }
}

TEST(SelftestLatency, MarkerDelayFoundExactlyWithItsMargin)
{
    const std::vector<double> sequence = MaximumLengthSequence(12);
    // Delay, gain, noise in dBFS.
    const std::tuple<int64_t, double, double> cases[] = {
        {0, 0.5, -90}, {1, 0.5, -60}, {777, -0.4, -40}, {12345, 0.05, -40}};
    for (const auto& [delay, gain, noiseDbfs] : cases) {
        SCOPED_TRACE(delay);
        std::vector<double> x = Noise(size_t(delay) + 3 * sequence.size(), noiseDbfs, 7);
        for (size_t i = 0; i < 2 * sequence.size(); ++i) x[size_t(delay) + i] += gain * sequence[i % sequence.size()];
        const MarkerFound m = FindMarker(x, sequence);
        ASSERT_TRUE(m.found);
        EXPECT_EQ(std::make_pair(m.position, m.inverted), std::make_pair(delay, gain < 0));
        EXPECT_GT(m.marginDb, 15.0);
    }
    EXPECT_FALSE(FindMarker(Noise(20000, -20, 3), sequence).found) << "a marker invented in noise";

    // Silence inserted inside the first period moves the second one: the
    // margin is still the first peak's over its own surroundings.
    std::vector<double> x(500, 0.0);
    for (size_t i = 0; i < 2 * sequence.size(); ++i) {
        if (i == 3500) x.insert(x.end(), 300, 0.0);
        x.push_back(0.5 * sequence[i % sequence.size()]);
    }
    const MarkerFound moved = FindMarker(x, sequence);
    EXPECT_EQ(moved.position, 500);
    EXPECT_GT(moved.marginDb, 10.0);
}

TEST(SelftestLatency, ImpulseResponseOfATwoTapPath)
{
    const std::vector<double> sequence = MaximumLengthSequence(12);
    const size_t period = sequence.size();
    // y[n] = 0.5 s[n] - 0.25 s[n - 3], over three periods, from sample 100 on.
    std::vector<double> x(100 + 3 * period, 0.0);
    for (size_t n = 0; n < 3 * period; ++n)
        x[100 + n] = 0.5 * 0.5 * sequence[n % period] - 0.25 * 0.5 * sequence[(n + 3 * period - 3) % period];
    const std::vector<double> h = ImpulseResponse(x, 100 + int64_t(period), sequence, 0.5, -2, 5);
    const double expected[] = {0, 0, 0.5, 0, 0, -0.25, 0, 0};
    ASSERT_EQ(h.size(), 8u);
    for (size_t i = 0; i < h.size(); ++i) EXPECT_NEAR(h[i], expected[i], 1e-3) << "lag " << int(i) - 2;
}

// The pilot at `rate`, its clock `ppm` off (the input taking more samples),
// rounded to 16 bits.
std::vector<double> Pilot(double seconds, double rate, double ppm)
{
    std::vector<double> x(size_t(seconds * rate));
    for (size_t i = 0; i < x.size(); ++i) x[i] = PilotValue(double(i) / (1 + ppm * 1e-6), rate);
    return Quantised(x, 16);
}

TEST(SelftestPilot, ClockDriftFoundWithin2Ppm)
{
    for (double ppm : {0.0, 100.0, -100.0, 37.0}) {
        const PilotFigures f = AnalysePilot(Pilot(10, 44100, ppm), 44100);
        ASSERT_TRUE(f.valid);
        EXPECT_NEAR(f.driftPpm, ppm, 2.0);
        EXPECT_TRUE(f.jumps.empty()) << f.jumps.size() << " jumps invented at " << ppm << " ppm";
    }
}

TEST(SelftestPilot, GapsRepeatsAndSilenceFoundAtTheirTimesNoneInvented)
{
    const double rate = 48000;
    const std::vector<double> clean = Pilot(12, rate, 100);
    struct Fault {
        double at; // seconds into the recording as made
        int remove, repeat, insertZeros, zeroOut;
        JumpKind kind;
        double lost;
    } const faults[] = {
        {1.5, 1024, 0, 0, 0, JumpKind::Gap, 1024}, {3.25, 0, 1024, 0, 0, JumpKind::Repeat, -1024},
        {5.0, 0, 0, 441, 0, JumpKind::Gap, 0},     {7.0, 0, 0, 0, 200, JumpKind::Gap, 200},
        {8.5, 37, 0, 0, 0, JumpKind::Gap, 37},     {10.0, 0, 480, 0, 0, JumpKind::Repeat, -480},
    };
    std::vector<double> x;
    size_t from = 0;
    std::vector<double> times;
    for (const Fault& f : faults) {
        const size_t at = size_t(f.at * rate);
        x.insert(x.end(), clean.begin() + long(from), clean.begin() + long(at));
        times.push_back(double(x.size()) / rate);
        from = at;
        if (f.remove) from += size_t(f.remove);
        if (f.repeat) x.insert(x.end(), clean.begin() + long(at - size_t(f.repeat)), clean.begin() + long(at));
        if (f.insertZeros) x.insert(x.end(), size_t(f.insertZeros), 0.0);
        if (f.zeroOut) x.insert(x.end(), size_t(f.zeroOut), 0.0), from += size_t(f.zeroOut);
    }
    x.insert(x.end(), clean.begin() + long(from), clean.end());

    const PilotFigures found = AnalysePilot(x, rate);
    ASSERT_TRUE(found.valid);
    ASSERT_EQ(found.jumps.size(), std::size(faults));
    EXPECT_EQ((std::vector<int>{found.gaps, found.repeats, found.clicks}), (std::vector<int>{4, 2, 0}));
    EXPECT_NEAR(found.driftPpm, 100, 2);
    for (size_t i = 0; i < found.jumps.size(); ++i) {
        const PilotJump& j = found.jumps[i];
        EXPECT_EQ(j.kind, faults[i].kind) << "fault " << i;
        EXPECT_NEAR(j.seconds, times[i], 0.001) << "fault " << i;
        EXPECT_NEAR(j.lost, faults[i].lost, 0.1) << "fault " << i;
    }
}

TEST(SelftestSine, LevelDistortionNoiseAndEnob)
{
    const double rate = 44100, nan = std::nan("");
    const size_t n = 65536;
    std::vector<double> noisy = Sine(n, rate, 997, -1), noise = Noise(n, -80, 11);
    for (size_t i = 0; i < n; ++i) noisy[i] += noise[i];
    // NaN: not checked.
    const struct {
        const char* name;
        std::vector<double> x;
        double level, thd, snr, thdn, enob, tolerance;
    } cases[] = {
        {"16-bit sine", Quantised(Sine(n, rate, 997, -1), 16), -1, nan, nan, nan, 16.0, 0.1},
        {"-60 dB second harmonic", Quantised(Sine(n, rate, 997, -1, 2, -60), 24), -1, -60, nan, -60, nan, 0.5},
        {"-60 dB third harmonic", Quantised(Sine(n, rate, 997, -6, 3, -60), 24), -6, -60, nan, -60, nan, 0.5},
        {"noise at -80 dBFS", Quantised(noisy, 24), -1, nan, 79, -79, (80 - 1.76) / 6.02, 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SineFigures f = AnalyseSine(c.x, rate, 997);
        ASSERT_TRUE(f.valid);
        EXPECT_NEAR(f.frequency, 997, 0.05);
        EXPECT_NEAR(f.levelDbfs, c.level, 0.02);
        const std::pair<double, double> pairs[] = {{f.thdDb, c.thd}, {f.snrDb, c.snr}, {f.thdnDb, c.thdn}};
        for (const auto& p : pairs)
            EXPECT_TRUE(std::isnan(p.second) || std::abs(p.first - p.second) <= c.tolerance)
                << p.first << " for " << p.second;
        EXPECT_TRUE(std::isnan(c.enob) || std::abs(f.enob - c.enob) <= c.tolerance / 6.02 + 0.1) << f.enob;
    }
    // The level of everything: RMS against a full-scale sine (0 dBFS), and the peak.
    EXPECT_NEAR(RmsDbfs(Noise(200000, -80, 5)), -80, 0.1);
    EXPECT_NEAR(RmsDbfs(Sine(n, rate, 997, -6)), -6, 0.01);
    EXPECT_NEAR(PeakDbfs(Sine(n, rate, 997, -6)), -6, 0.01);
    EXPECT_NEAR(PeakDbfs({0.25, -0.5, 0.1}), -6.02, 0.01);
}

TEST(SelftestBits, PaddedSixteenBitsFoundAsSixteen)
{
    const double rate = 48000;
    // Dithered quiet sine, as the programme plays it, rounded to 16 bits and
    // carried in 24-bit samples three ways.
    std::vector<double> x = Sine(65536, rate, 441, -30);
    const std::vector<double> sine16 = Quantised(Sine(65536, rate, 997, -1), 16);
    std::mt19937 random(1);
    std::uniform_real_distribution<double> u(-0.5, 0.5);
    for (double& v : x) v += (u(random) + u(random)) / 32768;
    auto steps24 = [](const std::vector<double>& v) {
        std::vector<int32_t> s(v.size());
        for (size_t i = 0; i < v.size(); ++i) s[i] = int32_t(std::lround(v[i] * 8388608));
        return s;
    };
    EXPECT_EQ(ChangingBits(steps24(Quantised(x, 16)), 24), 16) << "16 bits padded to 24";
    EXPECT_EQ(ChangingBits(steps24(Quantised(x, 24)), 24), 24) << "a real 24-bit path";
    EXPECT_EQ(ChangingBits(std::vector<int32_t>(100, 5), 24), 0) << "nothing changes";
    // A 16-bit sine resampled on its way: every low bit changes, but the ENOB
    // still says 16.
    std::vector<double> smeared(sine16.size());
    for (size_t i = 1; i < sine16.size(); ++i) smeared[i] = 0.999 * sine16[i] + 0.001 * sine16[i - 1];
    EXPECT_EQ(ChangingBits(steps24(Quantised(smeared, 24)), 24), 24);
    EXPECT_NEAR(AnalyseSine(Quantised(smeared, 24), rate, 997).enob, 16.0, 0.2);
    EXPECT_NEAR(AnalyseSine(Quantised(Sine(65536, rate, 997, -1), 24), rate, 997).enob, 24.0, 0.3);
}

TEST(SelftestTiming, RatesAndFrameTimesFromJitteredCompletions)
{
    // Blocks of 441 frames completing at a rate 50 ppm fast, seen up to
    // 10 ms late (a completion grid), for 20 s.
    std::vector<TimingPoint> points;
    std::mt19937 random(4);
    std::uniform_real_distribution<double> late(0, 0.010);
    const double rate = 44100 * (1 + 50e-6);
    for (double frames = 441; frames < 20 * 44100; frames += 441)
        points.push_back({3.0 + frames / rate + late(random), frames});
    const RateFit fit = FitRate(points, 44100, 19 * 44100, 44100);
    ASSERT_TRUE(fit.valid);
    EXPECT_NEAR(fit.ppm, 50, 5);
    EXPECT_NEAR(fit.residualMs, 10 / std::sqrt(12.0), 0.5);
    const FrameTime t = TimeOfFrame(points, 441000, 22050);
    ASSERT_TRUE(t.valid);
    EXPECT_NEAR(t.seconds, 3.0 + 441000 / rate + 0.005, 0.002);
    EXPECT_FALSE(FitRate(points, 0, 2000, 44100).valid) << "a rate from too few points";
}

} // namespace
