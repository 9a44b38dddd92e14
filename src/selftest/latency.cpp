#include "selftest/latency.h"

#include <cmath>
#include <cstdlib>

#include "selftest/fft.h"

MarkerFound FindMarker(const std::vector<double>& signal, const std::vector<double>& sequence, int guard)
{
    MarkerFound m;
    if (sequence.empty() || signal.size() < sequence.size()) return m;
    const std::vector<double> c = CrossCorrelate(signal, sequence);
    const int64_t period = int64_t(sequence.size());
    double largest = 0;
    for (double v : c) largest = std::max(largest, std::fabs(v));
    if (largest <= 0) return m;
    // The first period: the earliest stretch that comes near the largest
    // peak, then its own maximum.
    int64_t at = 0;
    while (std::fabs(c[size_t(at)]) < 0.7 * largest) ++at;
    for (int64_t i = at, end = std::min<int64_t>(at + guard, int64_t(c.size())); i < end; ++i)
        if (std::fabs(c[size_t(i)]) > std::fabs(c[size_t(at)])) at = i;

    // Off the peak: the largest correlation within half a period on either
    // side, which leaves out the next period's peak even where a dropout has
    // moved it.
    double other = 0;
    const int64_t from = std::max<int64_t>(0, at - period / 2);
    const int64_t to = std::min<int64_t>(int64_t(c.size()), at + period / 2);
    for (int64_t i = from; i < to; ++i)
        if (std::llabs(i - at) > guard) other = std::max(other, std::fabs(c[size_t(i)]));
    m.position = at;
    m.peak = std::fabs(c[size_t(at)]) / double(period);
    m.inverted = c[size_t(at)] < 0;
    m.marginDb = other > 0 ? 20 * std::log10(std::fabs(c[size_t(at)]) / other) : 200.0;
    m.found = m.marginDb >= 6.0;
    return m;
}

std::vector<double> ImpulseResponse(const std::vector<double>& signal, int64_t start,
                                    const std::vector<double>& sequence, double amplitude, int first, int last)
{
    const int64_t period = int64_t(sequence.size());
    std::vector<double> h;
    if (start < 0 || start + period > int64_t(signal.size()) || amplitude <= 0) return h;
    // The sequence's circular autocorrelation is period at lag 0 and -1
    // elsewhere, so the correlation at lag k is amplitude x (period + 1) x h[k]
    // less a term of the whole response's sum, which is small.
    for (int k = first; k <= last; ++k) {
        double sum = 0;
        for (int64_t n = 0; n < period; ++n) {
            int64_t j = (n - k) % period;
            if (j < 0) j += period;
            sum += signal[size_t(start + n)] * sequence[size_t(j)];
        }
        h.push_back(sum / (amplitude * double(period + 1)));
    }
    return h;
}
