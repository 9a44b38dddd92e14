#include "selftest/sine_analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "selftest/fft.h"

namespace {

// 7-term Blackman-Harris: side lobes below -180 dB, so the leakage of a
// -1 dBFS sine stays far under 24-bit noise. Main lobe: +-7 bins.
constexpr double kWindow[7] = {0.27105140069342, -0.43329793923448, 0.21812299954311, -0.06592544638803,
                               0.01081174209837, -0.00077658482522, 0.00001388721735};
constexpr int kLobeBins = 10; // bins taken around a tone

struct Windowed {
    std::vector<Complex> spectrum;
    double sumW = 0, sumW2 = 0;
    size_t n = 0;
};

Windowed Transform(const std::vector<double>& x)
{
    Windowed w;
    size_t n = 1;
    while (n * 2 <= x.size() && n < (size_t(1) << 17)) n *= 2;
    if (n < 1024) return w;
    w.n = n;
    const size_t offset = (x.size() - n) / 2;
    w.spectrum.resize(n);
    for (size_t i = 0; i < n; ++i) {
        double v = 0;
        for (int k = 0; k < 7; ++k) v += kWindow[k] * std::cos(2 * kPi * k * double(i) / double(n));
        w.sumW += v;
        w.sumW2 += v * v;
        w.spectrum[i] = x[offset + i] * v;
    }
    Fft(w.spectrum, false);
    return w;
}

double Db(double ratio) { return 10 * std::log10(ratio); }

} // namespace

double RmsDbfs(const std::vector<double>& x)
{
    double sum = 0;
    for (double v : x) sum += v * v;
    if (x.empty() || sum == 0) return -std::numeric_limits<double>::infinity();
    return Db(2 * sum / double(x.size()));
}

double PeakDbfs(const std::vector<double>& x)
{
    double peak = 0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    return peak > 0 ? 20 * std::log10(peak) : -std::numeric_limits<double>::infinity();
}

SineFigures AnalyseSine(const std::vector<double>& x, double rate, double nominalFrequency)
{
    SineFigures f;
    f.rmsDbfs = RmsDbfs(x);
    f.peakDbfs = PeakDbfs(x);
    const Windowed w = Transform(x);
    if (w.n == 0) return f;
    const size_t half = w.n / 2;
    const double binHz = rate / double(w.n);
    std::vector<double> power(half);
    for (size_t k = 0; k < half; ++k) power[k] = std::norm(w.spectrum[k]) / (double(w.n) * w.sumW2 / 2);

    // The fundamental: the strongest bin within 3 % of the nominal frequency.
    const size_t lowEdge = std::max<size_t>(kLobeBins, size_t(std::ceil(20.0 / binHz)));
    const size_t from = std::max(lowEdge, size_t(nominalFrequency * 0.97 / binHz));
    const size_t to = std::min(half - kLobeBins - 1, size_t(nominalFrequency * 1.03 / binHz) + 1);
    if (from >= to) return f;
    size_t peak = from;
    for (size_t k = from; k <= to; ++k)
        if (power[k] > power[peak]) peak = k;
    double weighted = 0, sum = 0;
    for (size_t k = peak - 3; k <= peak + 3; ++k) weighted += double(k) * power[k], sum += power[k];
    const double centre = weighted / sum;
    f.frequency = centre * binHz;

    std::vector<char> taken(half, 0);
    auto band = [&](double at) {
        double p = 0;
        const long c = std::lround(at);
        for (long k = c - kLobeBins; k <= c + kLobeBins; ++k) {
            if (k < long(lowEdge) || k >= long(half) || taken[size_t(k)]) continue;
            taken[size_t(k)] = 1;
            p += power[size_t(k)];
        }
        return p;
    };
    const double fundamental = band(centre);
    double harmonics = 0;
    for (int h = 2; h <= 10 && h * centre + kLobeBins < double(half); ++h) harmonics += band(h * centre);
    double total = 0, rest = 0;
    size_t takenBins = 0;
    for (size_t k = lowEdge; k < half; ++k) {
        total += power[k];
        if (taken[k])
            ++takenBins;
        else
            rest += power[k];
    }
    const size_t bandBins = half - lowEdge;
    const double density = rest / double(bandBins - takenBins);
    const double noise = density * double(bandBins);
    const size_t harmonicBins = takenBins - (2 * kLobeBins + 1);
    const double harmonicsOnly = std::max(0.0, harmonics - density * double(harmonicBins));
    (void)total;
    if (fundamental <= 0) return f;

    f.valid = true;
    f.levelDbfs = Db(2 * fundamental);
    f.thdDb = harmonicsOnly > 0 ? Db(harmonicsOnly / fundamental) : std::numeric_limits<double>::quiet_NaN();
    f.thdnDb = Db((harmonicsOnly + noise) / fundamental);
    f.snrDb = Db(fundamental / noise);
    f.sinadDb = -f.thdnDb;
    f.enob = (f.sinadDb - f.levelDbfs - 1.76) / 6.02;
    return f;
}

std::vector<SpectrumPoint> SineSpectrum(const std::vector<double>& x, double rate, int points)
{
    std::vector<SpectrumPoint> out;
    const Windowed w = Transform(x);
    if (w.n == 0 || points < 2) return out;
    const size_t half = w.n / 2;
    const double binHz = rate / double(w.n);
    const double low = std::log(20.0), high = std::log(rate / 2);
    size_t k = std::max<size_t>(1, size_t(20.0 / binHz));
    for (int p = 0; p < points && k < half; ++p) {
        const double edge = std::exp(low + (high - low) * (p + 1) / points);
        double best = 0;
        size_t bestK = k;
        do {
            const double a = std::abs(w.spectrum[k]) * 2 / w.sumW;
            if (a >= best) best = a, bestK = k;
            ++k;
        } while (k < half && double(k) * binHz < edge);
        out.push_back({double(bestK) * binHz, best > 0 ? 20 * std::log10(best) : -300.0});
    }
    return out;
}
