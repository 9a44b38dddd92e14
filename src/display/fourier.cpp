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

    // From stage 3 on, the fast transform reads each pair of twiddles as
    // (wr0, wr0, wr1, wr1) and (-wi0, wi0, -wi1, wi1); stage s (half h)
    // starts at 4 x (h - 4).
    for (int s = 3; s <= m_nStages; ++s) {
        const int half = 1 << (s - 1);
        for (int j = 0; j < half; j += 2) {
            const FourierComplex a = m_ppTwiddle[size_t(s)][j], b = m_ppTwiddle[size_t(s)][j + 1];
            m_PreparedTwiddles.insert(m_PreparedTwiddles.end(), {a.re, a.re, b.re, b.re, -a.im, a.im, -b.im, b.im});
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
    m_bSelfInverse = true;
    for (int i = 0; i < n; ++i) m_bSelfInverse = m_bSelfInverse && m_pBitRev[m_pBitRev[i]] == i;
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
    for (int i = 0; i < m_nSize; ++i) m_pData[m_pBitRev[i]] = {m_pInput[i], 0.0f};
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
namespace {

// Two complex products w x a at once, each lane computing exactly what the
// scalar code does: re = wr*ar - wi*ai, im = wr*ai + wi*ar. The subtraction
// is done as an addition of the negated product, which IEEE arithmetic rounds
// identically.
inline __m128 Product(__m128 w, __m128 a)
{
    const __m128 negateRe = _mm_castsi128_ps(_mm_set_epi32(0, int(0x80000000u), 0, int(0x80000000u)));
    const __m128 wr = _mm_shuffle_ps(w, w, _MM_SHUFFLE(2, 2, 0, 0));
    const __m128 wi = _mm_shuffle_ps(w, w, _MM_SHUFFLE(3, 3, 1, 1));
    const __m128 swapped = _mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_add_ps(_mm_mul_ps(wr, a), _mm_xor_ps(_mm_mul_ps(wi, swapped), negateRe));
}

// The same with the twiddles prepared as (wr, wr) and (-wi, wi) pairs:
// (-wi) x ai is exactly -(wi x ai).
inline __m128 PreparedProduct(const float* w, __m128 a)
{
    const __m128 swapped = _mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(w), a), _mm_mul_ps(_mm_loadu_ps(w + 4), swapped));
}

} // namespace

// The permuted input is read straight into stages 1 and 2, which run
// together on each group of four values held in registers; the later stages
// go two at a time. Every butterfly does the scalar operations in the scalar
// order, so every value is bit-identical to TransformScalar.
void CFourier::Transform()
{
    const int n = m_nSize;
    if (n < 8 || !m_bSelfInverse) {
        TransformScalar();
        return;
    }
    float* x = reinterpret_cast<float*>(m_pData.get());
    const float* in = m_pInput.get();
    const int* r = m_pBitRev.get();

    const FourierComplex w1 = m_ppTwiddle[1][0];
    const __m128 stage1 = _mm_setr_ps(w1.re, w1.im, w1.re, w1.im);
    const __m128 stage2 = _mm_loadu_ps(reinterpret_cast<const float*>(m_ppTwiddle[2].get()));
    for (int k = 0; k < n; k += 4) {
        // The permutation is its own inverse: value k is input r[k].
        float* p = x + 2 * k;
        const __m128 lo = _mm_setr_ps(in[r[k]], 0.0f, in[r[k + 2]], 0.0f);     // x0 x2
        const __m128 hi = _mm_setr_ps(in[r[k + 1]], 0.0f, in[r[k + 3]], 0.0f); // x1 x3
        const __m128 t = Product(stage1, hi);
        const __m128 lo1 = _mm_add_ps(lo, t), hi1 = _mm_sub_ps(lo, t); // x0' x2', x1' x3'
        const __m128 pairLo = _mm_movelh_ps(lo1, hi1);                 // x0' x1'
        const __m128 pairHi = _mm_movehl_ps(hi1, lo1);                 // x2' x3'
        const __m128 t2 = Product(stage2, pairHi);
        _mm_storeu_ps(p, _mm_add_ps(pairLo, t2));
        _mm_storeu_ps(p + 4, _mm_sub_ps(pairLo, t2));
    }

    // Two stages per pass over the data where two remain: four values a
    // quarter block apart go through both stages' butterflies in registers.
    int half = 4, s = 3;
    for (; s + 1 <= m_nStages; s += 2, half *= 4) {
        const float* tw = m_PreparedTwiddles.data() + 4 * (half - 4);
        const float* tw2 = m_PreparedTwiddles.data() + 4 * (2 * half - 4);
        for (int k0 = 0; k0 < n; k0 += 4 * half) {
            float* p0 = x + 2 * k0;
            float* p1 = p0 + 2 * half;
            float* p2 = p1 + 2 * half;
            float* p3 = p2 + 2 * half;
            for (int c = 0; c < half; c += 2) {
                const __m128 a0 = _mm_loadu_ps(p0 + 2 * c), a1 = _mm_loadu_ps(p1 + 2 * c);
                const __m128 a2 = _mm_loadu_ps(p2 + 2 * c), a3 = _mm_loadu_ps(p3 + 2 * c);
                const __m128 t1 = PreparedProduct(tw + 4 * c, a1);
                const __m128 t3 = PreparedProduct(tw + 4 * c, a3);
                const __m128 b0 = _mm_add_ps(a0, t1), b1 = _mm_sub_ps(a0, t1);
                const __m128 b2 = _mm_add_ps(a2, t3), b3 = _mm_sub_ps(a2, t3);
                const __m128 u2 = PreparedProduct(tw2 + 4 * c, b2);
                const __m128 u3 = PreparedProduct(tw2 + 4 * (c + half), b3);
                _mm_storeu_ps(p0 + 2 * c, _mm_add_ps(b0, u2));
                _mm_storeu_ps(p2 + 2 * c, _mm_sub_ps(b0, u2));
                _mm_storeu_ps(p1 + 2 * c, _mm_add_ps(b1, u3));
                _mm_storeu_ps(p3 + 2 * c, _mm_sub_ps(b1, u3));
            }
        }
    }
    if (s == m_nStages) { // the last stage alone
        const float* tw = m_PreparedTwiddles.data() + 4 * (half - 4);
        float* lo = x;
        float* hi = x + 2 * half;
        for (int c = 0; c < half; c += 2) {
            const __m128 t = PreparedProduct(tw + 4 * c, _mm_loadu_ps(hi + 2 * c));
            const __m128 l = _mm_loadu_ps(lo + 2 * c);
            _mm_storeu_ps(hi + 2 * c, _mm_sub_ps(l, t));
            _mm_storeu_ps(lo + 2 * c, _mm_add_ps(l, t));
        }
    }
}
#else
void CFourier::Transform() { TransformScalar(); }
#endif
