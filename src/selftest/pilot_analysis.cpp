#include "selftest/pilot_analysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "selftest/test_signals.h"

namespace {

constexpr int kParams = 2 * kPilotTones + 1;
constexpr int kOrder = 2 * kPilotTones;
constexpr int64_t kMinSilence = 16;
constexpr double kSilenceLevel = 0.001; // -60 dBFS
constexpr int64_t kJoin = 64;           // disturbances closer than this are one
constexpr int64_t kPhaseWindow = 4096;
constexpr int64_t kMinPhaseWindow = 64;

using Omegas = std::array<double, kPilotTones>;

struct ToneFit {
    bool ok = false;
    std::array<double, kPilotTones> amplitude{}, phase{};
};

// Least squares fit of DC and the three sines to x[0 .. n), with phases
// given at the sample `origin` places before the window's first sample.
ToneFit FitTones(const double* x, int64_t n, int64_t origin, const Omegas& w)
{
    double a[kParams][kParams + 1] = {};
    for (int64_t i = 0; i < n; ++i) {
        double basis[kParams];
        basis[0] = 1;
        for (int k = 0; k < kPilotTones; ++k) {
            const double arg = w[size_t(k)] * double(origin + i);
            basis[1 + 2 * k] = std::cos(arg);
            basis[2 + 2 * k] = std::sin(arg);
        }
        for (int r = 0; r < kParams; ++r) {
            for (int c = 0; c < kParams; ++c) a[r][c] += basis[r] * basis[c];
            a[r][kParams] += basis[r] * x[i];
        }
    }
    for (int col = 0; col < kParams; ++col) {
        int pivot = col;
        for (int r = col + 1; r < kParams; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-12) return {};
        for (int c = 0; c <= kParams; ++c) std::swap(a[col][c], a[pivot][c]);
        for (int r = 0; r < kParams; ++r) {
            if (r == col) continue;
            const double f = a[r][col] / a[col][col];
            for (int c = col; c <= kParams; ++c) a[r][c] -= f * a[col][c];
        }
    }
    ToneFit fit;
    fit.ok = true;
    for (int k = 0; k < kPilotTones; ++k) {
        const double c = a[1 + 2 * k][kParams] / a[1 + 2 * k][1 + 2 * k];
        const double s = a[2 + 2 * k][kParams] / a[2 + 2 * k][2 + 2 * k];
        fit.amplitude[size_t(k)] = std::hypot(c, s);
        fit.phase[size_t(k)] = std::atan2(-s, c); // c cos + s sin = A cos(arg + phase)
    }
    return fit;
}

double Wrap(double a) { return std::remainder(a, 2 * kPi); }

double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// The sines' common frequency error, relative (+: higher than nominal), from
// the phase steps between back-to-back blocks; blocks whose sines are not at
// their usual strength (silence, a jump) are left out.
bool RelativeFrequencyError(const std::vector<double>& x, const Omegas& w, double* error, double* level)
{
    const int64_t block = std::min<int64_t>(4096, int64_t(x.size()) / 8);
    if (block < 256) return false;
    std::vector<ToneFit> fits;
    for (int64_t at = 0; at + block <= int64_t(x.size()); at += block)
        fits.push_back(FitTones(x.data() + at, block, 0, w));
    std::vector<double> strength;
    for (const ToneFit& f : fits)
        if (f.ok) strength.push_back(f.amplitude[0] + f.amplitude[1] + f.amplitude[2]);
    const double usual = Median(strength);
    if (usual < 1e-4) return false;
    auto steady = [&](const ToneFit& f) {
        if (!f.ok) return false;
        for (int k = 0; k < kPilotTones; ++k)
            if (std::fabs(f.amplitude[size_t(k)] * kPilotTones / usual - 1) > 0.1) return false;
        return true;
    };
    std::vector<double> errors;
    for (size_t b = 0; b + 1 < fits.size(); ++b) {
        if (!steady(fits[b]) || !steady(fits[b + 1])) continue;
        for (int k = 0; k < kPilotTones; ++k) {
            const double step = w[size_t(k)] * double(block);
            errors.push_back(Wrap(fits[b + 1].phase[size_t(k)] - fits[b].phase[size_t(k)] - step) / step);
        }
    }
    if (errors.empty()) return false;
    const double median = Median(errors);
    std::vector<double> spread;
    for (double e : errors) spread.push_back(std::fabs(e - median));
    const double limit = std::max(6 * 1.4826 * Median(spread), 1e-9);
    double sum = 0;
    int n = 0;
    for (double e : errors)
        if (std::fabs(e - median) <= limit) sum += e, ++n;
    *error = sum / n;
    *level = 20 * std::log10(usual); // the sum of the amplitudes, as a peak
    return true;
}

struct Span {
    int64_t begin, end; // [begin, end)
    int64_t silent;
};

std::vector<Span> Disturbances(const std::vector<double>& x, const Omegas& w, double* residualLevel)
{
    // The recurrence of the three sines: the product of (1 - 2 cos w z^-1 + z^-2).
    std::vector<double> c = {1};
    for (double omega : w) {
        const double f[3] = {1, -2 * std::cos(omega), 1};
        std::vector<double> next(c.size() + 2, 0.0);
        for (size_t i = 0; i < c.size(); ++i)
            for (int j = 0; j < 3; ++j) next[i + size_t(j)] += c[i] * f[j];
        c = next;
    }
    const int64_t n = int64_t(x.size());
    std::vector<double> r(size_t(std::max<int64_t>(n, 0)), 0.0);
    std::vector<double> magnitudes;
    for (int64_t i = kOrder; i < n; ++i) {
        double v = 0;
        for (int j = 0; j <= kOrder; ++j) v += c[size_t(j)] * x[size_t(i - j)];
        r[size_t(i)] = v;
        magnitudes.push_back(std::fabs(v));
    }
    const double sigma = 1.4826 * Median(magnitudes);
    *residualLevel = sigma > 0 ? 20 * std::log10(sigma) : -std::numeric_limits<double>::infinity();
    const double threshold = std::max(10 * sigma, 1e-7);

    std::vector<Span> spans;
    // Disturbances close together are one: the edges of a run of silence
    // disturb the residual just beside it too.
    auto add = [&](int64_t begin, int64_t end, int64_t silent) {
        if (!spans.empty() && begin <= spans.back().end + kJoin) {
            spans.back().end = std::max(spans.back().end, end);
            spans.back().silent += silent;
        } else {
            spans.push_back({begin, end, silent});
        }
    };
    for (int64_t i = 0; i < n;) {
        const bool quiet = std::fabs(x[size_t(i)]) <= kSilenceLevel;
        int64_t j = i;
        while (j < n && (std::fabs(x[size_t(j)]) <= kSilenceLevel) == quiet) ++j;
        if (quiet && j - i >= kMinSilence) {
            add(i, j, j - i);
        } else {
            for (int64_t k = std::max<int64_t>(i, kOrder); k < j; ++k)
                if (std::fabs(r[size_t(k)]) > threshold) add(k - kOrder, k + 1, 0);
        }
        i = j;
    }
    return spans;
}

// The whole-sample shift that lines the phases after a disturbance up with
// those before it, refined to a fraction; NaN when a side is too short or
// no shift lines them up.
double Shift(const std::vector<double>& x, const std::vector<Span>& spans, size_t i, const Omegas& w, double rate)
{
    const Span& s = spans[i];
    const int64_t beforeFrom = std::max(i ? spans[i - 1].end : 0, s.begin - kPhaseWindow);
    const int64_t afterTo =
        std::min(i + 1 < spans.size() ? spans[i + 1].begin : int64_t(x.size()), s.end + kPhaseWindow);
    if (s.begin - beforeFrom < kMinPhaseWindow || afterTo - s.end < kMinPhaseWindow)
        return std::numeric_limits<double>::quiet_NaN();
    const ToneFit before = FitTones(x.data() + beforeFrom, s.begin - beforeFrom, beforeFrom - s.begin, w);
    const ToneFit after = FitTones(x.data() + s.end, afterTo - s.end, s.end - s.begin, w);
    if (!before.ok || !after.ok) return std::numeric_limits<double>::quiet_NaN();
    std::array<double, kPilotTones> step{}, weight{};
    for (size_t k = 0; k < kPilotTones; ++k) {
        step[k] = after.phase[k] - before.phase[k];
        weight[k] = before.amplitude[k] * after.amplitude[k];
    }
    auto cost = [&](double d) {
        double sum = 0;
        for (size_t k = 0; k < kPilotTones; ++k) sum += weight[k] * (1 - std::cos(step[k] - w[k] * d));
        return sum;
    };
    const int64_t reach = std::min<int64_t>(int64_t(rate), 65536);
    int64_t best = 0;
    double bestCost = cost(0);
    for (int64_t d = -reach; d <= reach; ++d) {
        const double v = cost(double(d));
        if (v < bestCost) bestCost = v, best = d;
    }
    // Sides that no shift lines up (a disturbance the residual missed in a
    // window) give no shift rather than an invented one.
    if (bestCost > 1e-3 * (weight[0] + weight[1] + weight[2])) return std::numeric_limits<double>::quiet_NaN();
    const double l = cost(double(best - 1)), m = bestCost, h = cost(double(best + 1));
    const double curvature = l - 2 * m + h;
    const double fraction = curvature > 0 ? std::clamp(0.5 * (l - h) / curvature, -0.5, 0.5) : 0.0;
    return double(best) + fraction;
}

} // namespace

PilotFigures AnalysePilot(const std::vector<double>& x, double rate)
{
    PilotFigures f;
    Omegas nominal{};
    for (int k = 0; k < kPilotTones; ++k) nominal[size_t(k)] = 2 * kPi * kPilotRatios[k];
    double error = 0;
    if (!RelativeFrequencyError(x, nominal, &error, &f.levelDbfs)) return f;
    f.valid = true;
    f.driftPpm = (1 / (1 + error) - 1) * 1e6;
    Omegas w{};
    for (size_t k = 0; k < kPilotTones; ++k) w[k] = nominal[k] * (1 + error);

    const std::vector<Span> spans = Disturbances(x, w, &f.residualDbfs);
    for (size_t i = 0; i < spans.size(); ++i) {
        PilotJump j;
        j.index = spans[i].begin;
        j.span = spans[i].end - spans[i].begin;
        j.silent = spans[i].silent;
        j.shift = Shift(x, spans, i, w, rate);
        j.lost = std::isnan(j.shift) ? 0.0 : j.shift + double(j.silent);
        j.seconds = double(j.index) / rate;
        if (j.silent >= kMinSilence || j.lost >= 0.5)
            j.kind = JumpKind::Gap, ++f.gaps;
        else if (j.lost <= -0.5)
            j.kind = JumpKind::Repeat, ++f.repeats;
        else
            j.kind = JumpKind::Click, ++f.clicks;
        f.jumps.push_back(j);
    }
    return f;
}
