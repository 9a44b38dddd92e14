// Built without floating-point contraction (see CMakeLists.txt): a fused
// multiply-add would round differently in the two transforms.
#include "display/fourier.h"

#include <cmath>
#include <cstring>

#include "display/samples.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

CFourier::CFourier(int points)
    : m_nSize(points < 1 ? 1 : points),
      m_nStages(0),
      m_fNorm(float(std::sqrt(double(m_nSize)))),
      m_pBitRev(new int[size_t(m_nSize)]),
      m_pData(new FourierComplex[size_t(m_nSize)]()),
      m_pInput(new float[size_t(m_nSize)]())
{
    const int n = m_nSize;
    for (int rest = n - 1; rest > 0; rest >>= 1) ++m_nStages;

    const double twoPi = 4.0 * std::asin(1.0);
    m_ppTwiddle.resize(size_t(m_nStages) + 1);
    for (int s = 1; s <= m_nStages; ++s) {
        const int m = 1 << s;
        m_ppTwiddle[size_t(s)].reset(new FourierComplex[size_t(n)]);
        for (int k = 0; k < n; ++k) {
            const double a = k * twoPi / m;
            m_ppTwiddle[size_t(s)][k] = {float(std::cos(a)), float(-std::sin(a))};
        }
    }

    int j = 0;
    for (int i = 0; i < n - 1; ++i) {
        m_pBitRev[i] = j;
        int k = n / 2;
        while (j >= k) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
    m_pBitRev[n - 1] = n - 1;
}

void CFourier::AddBlock(const uint8_t* buffer, int offset, int bits, int channels, int blockSize)
{
    const int n = m_nSize;
    const int b = blockSize < n ? blockSize : n; // a block longer than the history keeps its tail
    const int skip = blockSize - b;
    std::memmove(m_pInput.get(), m_pInput.get() + b, sizeof(float) * size_t(n - b));

    const float scale = bits <= 8 ? 256.0f : bits <= 16 ? 1.0f : bits <= 24 ? 1.0f / 256 : 1.0f / 65536;
    const int stride = SampleBytes(bits) * channels;
    for (int i = 0; i < b; ++i)
        m_pInput[n - b + i] = float(ReadSample(offset + (skip + i) * stride, buffer, bits)) * scale;
}

void CFourier::LoadBitReversed()
{
    for (int i = 0; i < m_nSize; ++i)
        m_pData[m_pBitRev[i]] = {m_pInput[i], 0.0f};
}

void CFourier::TransformScalar()
{
    LoadBitReversed();
    const int n = m_nSize;
    FourierComplex* x = m_pData.get();
    int half = 1;
    for (int s = 1; s <= m_nStages; ++s) {
        const int m = 2 * half;
        const FourierComplex* tw = m_ppTwiddle[size_t(s)].get();
        for (int k0 = 0; k0 < n; k0 += m) {
            for (int j = 0; j < half; ++j) {
                const FourierComplex w = tw[j];
                FourierComplex& lo = x[k0 + j];
                FourierComplex& hi = x[k0 + j + half];
                const float tr = w.re * hi.re - w.im * hi.im;
                const float ti = w.re * hi.im + w.im * hi.re;
                hi.re = lo.re - tr;
                hi.im = lo.im - ti;
                lo.re = lo.re + tr;
                lo.im = lo.im + ti;
            }
        }
        half = m;
    }
}

#if defined(__SSE2__)
// Two butterflies at once. Each lane does exactly the scalar operations in the
// same order (a - b is computed as a + (-b), which IEEE arithmetic rounds
// identically), so the results are bit-identical.
void CFourier::Transform()
{
    const int n = m_nSize;
    if (n < 4) {
        TransformScalar();
        return;
    }
    LoadBitReversed();
    float* x = reinterpret_cast<float*>(m_pData.get());
    const __m128 negateRe = _mm_castsi128_ps(_mm_set_epi32(0, int(0x80000000u), 0, int(0x80000000u)));

    // Stage 1: w = twiddle[1][0] for every butterfly.
    {
        const FourierComplex w = m_ppTwiddle[1][0];
        for (int k = 0; k < n; k += 2) {
            FourierComplex* lo = &m_pData[k];
            FourierComplex* hi = lo + 1;
            const float tr = w.re * hi->re - w.im * hi->im;
            const float ti = w.re * hi->im + w.im * hi->re;
            hi->re = lo->re - tr;
            hi->im = lo->im - ti;
            lo->re = lo->re + tr;
            lo->im = lo->im + ti;
        }
    }
    int half = 2;
    for (int s = 2; s <= m_nStages; ++s) {
        const int m = 2 * half;
        const float* tw = reinterpret_cast<const float*>(m_ppTwiddle[size_t(s)].get());
        for (int k0 = 0; k0 < n; k0 += m) {
            float* lo = x + 2 * k0;
            float* hi = lo + 2 * half;
            for (int j = 0; j < half; j += 2) {
                const __m128 w = _mm_loadu_ps(tw + 2 * j);            // wr0 wi0 wr1 wi1
                const __m128 wr = _mm_shuffle_ps(w, w, _MM_SHUFFLE(2, 2, 0, 0));
                const __m128 wi = _mm_shuffle_ps(w, w, _MM_SHUFFLE(3, 3, 1, 1));
                const __m128 a = _mm_loadu_ps(hi + 2 * j);            // ar0 ai0 ar1 ai1
                const __m128 swapped = _mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 3, 0, 1));
                // re: wr*ar + -(wi*ai); im: wr*ai + wi*ar
                const __m128 t = _mm_add_ps(_mm_mul_ps(wr, a),
                                            _mm_xor_ps(_mm_mul_ps(wi, swapped), negateRe));
                const __m128 l = _mm_loadu_ps(lo + 2 * j);
                _mm_storeu_ps(hi + 2 * j, _mm_sub_ps(l, t));
                _mm_storeu_ps(lo + 2 * j, _mm_add_ps(l, t));
            }
        }
        half = m;
    }
}
#else
void CFourier::Transform() { TransformScalar(); }
#endif
