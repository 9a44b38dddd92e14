#include "selftest/fft.h"

#include <cmath>
#include <utility>

size_t NextPowerOfTwo(size_t n)
{
    size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

void Fft(std::vector<Complex>& data, bool inverse)
{
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    const double sign = inverse ? 1.0 : -1.0;
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = sign * 2.0 * kPi / double(len);
        const size_t half = len / 2;
        // Twiddles computed directly, not by repeated multiplication, so that
        // long transforms keep their precision.
        std::vector<Complex> twiddle(half);
        for (size_t k = 0; k < half; ++k)
            twiddle[k] = Complex(std::cos(angle * double(k)), std::sin(angle * double(k)));
        for (size_t i = 0; i < n; i += len)
            for (size_t k = 0; k < half; ++k) {
                const Complex u = data[i + k];
                const Complex v = data[i + k + half] * twiddle[k];
                data[i + k] = u + v;
                data[i + k + half] = u - v;
            }
    }
    if (inverse)
        for (Complex& c : data) c /= double(n);
}

std::vector<double> CrossCorrelate(const std::vector<double>& signal, const std::vector<double>& reference)
{
    if (signal.empty() || reference.empty()) return {};
    const size_t n = NextPowerOfTwo(signal.size() + reference.size());
    std::vector<Complex> a(n), b(n);
    for (size_t i = 0; i < signal.size(); ++i) a[i] = signal[i];
    for (size_t i = 0; i < reference.size(); ++i) b[i] = reference[i];
    Fft(a, false);
    Fft(b, false);
    for (size_t i = 0; i < n; ++i) a[i] *= std::conj(b[i]);
    Fft(a, true);
    std::vector<double> c(signal.size());
    for (size_t k = 0; k < c.size(); ++k) c[k] = a[k].real();
    return c;
}
