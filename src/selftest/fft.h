// A radix-2 fast Fourier transform in double precision, enough for the
// self-test's correlations and spectra (24-bit sound needs more than float).
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

using Complex = std::complex<double>;

constexpr double kPi = 3.14159265358979323846;

// The smallest power of two that is at least n (1 for n = 0).
size_t NextPowerOfTwo(size_t n);

// In place; data.size() must be a power of two. inverse: the sign of the
// exponent is +, and the result is divided by the size.
void Fft(std::vector<Complex>& data, bool inverse);

// Linear cross-correlation: c[k] = sum over n of signal[n + k] * reference[n],
// for k = 0 .. signal.size() - 1 (reference shorter than or as long as signal).
std::vector<double> CrossCorrelate(const std::vector<double>& signal, const std::vector<double>& reference);
