// FFT analyser of one store: a sliding history of the newest real samples of
// channel 0 and its complex spectrum.
//
// The transform is an iterative radix-2 FFT in single precision with no
// window and no normalisation; the spectrum view divides magnitudes by
// m_fNorm (sqrt N). The tables are built once, so Transform neither allocates
// nor calls a trigonometric function.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Plain float pairs: GCC turns std::complex<float> products into slow code.
struct FourierComplex {
    float re;
    float im;
};

class CFourier {
public:
    explicit CFourier(int points); // points: a power of two
    virtual ~CFourier() = default;
    CFourier(const CFourier&) = delete;
    CFourier& operator=(const CFourier&) = delete;

    void SetSampleRate(int rate) { m_nSampleRate = rate; }

    // Drops the oldest block of the history and appends one block of channel
    // 0, read from buffer at byte offset, scaled to the 16-bit range.
    void AddBlock(const uint8_t* buffer, int offset, int bits, int channels, int blockSize);

    // m_pData = the unnormalised forward transform of m_pInput. Uses SSE2
    // where the compiler offers it; every value is bit-identical to
    // TransformScalar.
    void Transform();
    void TransformScalar();

    int m_nSize; // N
    int m_nSampleRate = 0;
    int m_nStages; // log2 N
    float m_fNorm; // sqrt N
    std::unique_ptr<int[]> m_pBitRev;
    std::unique_ptr<FourierComplex[]> m_pData; // spectrum X[0..N-1] after Transform
    // Per stage s (1 to m_nStages) N twiddle factors for m = 2^s; entry 0 unused.
    std::vector<std::unique_ptr<FourierComplex[]>> m_ppTwiddle;
    std::unique_ptr<float[]> m_pInput; // history, oldest sample first

private:
    void LoadBitReversed();
    std::vector<float> m_PreparedTwiddles; // the fast transform's copy, stage 3 on
    bool m_bSelfInverse = false;           // m_pBitRev undoes itself (N a power of two)
};
