// Sample access at every width, the analyser's input scaling, its history,
// and its transform against a double-precision DFT.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <future>
#include <random>
#include <vector>

#include "display/analyser_feed.h"
#include "display/feed_analyser.h"
#include "display/fourier.h"
#include "display/samples.h"
#include "held_lock.h"
#include "platform/sync.h"
#include "state/app_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian bytes of one sample of the width.
void Put(Bytes& b, int value, int bits)
{
    const uint32_t v = bits == 8 ? uint32_t(value + 128) : uint32_t(value);
    for (int i = 0; i < bits / 8; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

TEST(Samples, ReadSampleAtEveryWidthSignExtends)
{
    const struct {
        Bytes bytes;
        int bits;
        int expected;
    } cases[] = {{{0}, 8, -128},
                 {{255}, 8, 127},
                 {{128}, 8, 0},
                 {{0x00, 0x80}, 16, -32768},
                 {{0xff, 0x7f}, 16, 32767},
                 {{0xfe, 0xff}, 16, -2},
                 {{0xff, 0xff, 0x7f}, 24, 8388607},
                 {{0x00, 0x00, 0x80}, 24, -8388608},
                 {{0xff, 0xff, 0xff}, 24, -1},
                 {{0x34, 0x12, 0x00}, 24, 0x1234},
                 {{0, 0, 0, 0x80}, 32, INT32_MIN},
                 {{0xff, 0xff, 0xff, 0x7f}, 32, INT32_MAX},
                 {{0x12, 0x34}, 12, 0},
                 {{0x12}, 4, 0}};
    for (const auto& c : cases) EXPECT_EQ(ReadSample(0, c.bytes.data(), c.bits), c.expected) << c.bits << " bits";
    const Bytes shifted = {9, 9, 0x00, 0x80};
    EXPECT_EQ(ReadSample(2, shifted.data(), 16), -32768) << "reads at the offset";
}

TEST(Samples, SampleOffsetFindsTheChannelInTheFrame)
{
    const struct {
        int offset, bits, channels, channel, expected;
    } cases[] = {{5, 8, 1, 0, 5},  {5, 8, 2, 0, 4},    {5, 8, 2, 1, 5},    {7, 16, 1, 0, 6},   {7, 16, 2, 0, 4},
                 {7, 16, 2, 1, 6}, {13, 24, 1, 0, 12}, {13, 24, 2, 0, 12}, {13, 24, 2, 1, 15}, {17, 32, 2, 1, 20},
                 {0, 16, 2, 1, 2}, {7, 16, 2, 2, 0},   {7, 16, 2, -1, 0},  {7, 16, 1, 1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(SampleOffset(c.offset, c.bits, c.channels, c.channel), c.expected)
            << c.offset << " " << c.bits << " bits " << c.channels << " ch " << c.channel;
}

TEST(Fourier, AddBlockScalesTheLeftChannelToSixteenBitsAndShiftsTheHistory)
{
    const struct {
        int bits, channels;
        std::vector<int> left;
        std::vector<float> expected;
    } cases[] = {{8, 1, {-128, 127, 0}, {-32768.0f, 32512.0f, 0.0f}},
                 {8, 2, {-128, 127, 0}, {-32768.0f, 32512.0f, 0.0f}},
                 {16, 2, {-32768, 32767, -5}, {-32768.0f, 32767.0f, -5.0f}},
                 {24, 1, {8388607, -8388608, -256}, {32767.99609375f, -32768.0f, -1.0f}},
                 {24, 2, {8388607, -8388608, -256}, {32767.99609375f, -32768.0f, -1.0f}}};
    for (const auto& c : cases) {
        CFourier f(8);
        Bytes store;
        for (int v : c.left)
            for (int ch = 0; ch < c.channels; ++ch)
                Put(store, ch == 0 ? v : (c.bits == 8 ? 99 : 12345), c.bits); // the right channel is never read
        f.AddBlock(store.data(), 0, c.bits, c.channels, 3);
        EXPECT_EQ(std::vector<float>(f.m_pInput.get(), f.m_pInput.get() + 8),
                  (std::vector<float>{0, 0, 0, 0, 0, c.expected[0], c.expected[1], c.expected[2]}))
            << c.bits << " bits " << c.channels << " ch";
        f.AddBlock(store.data(), SampleBytes(c.bits) * c.channels, c.bits, c.channels, 2);
        EXPECT_EQ(
            std::vector<float>(f.m_pInput.get(), f.m_pInput.get() + 8),
            (std::vector<float>{0, 0, 0, c.expected[0], c.expected[1], c.expected[2], c.expected[1], c.expected[2]}));
    }
}

TEST(Fourier, SilenceOfEightBitsGivesAZeroSpectrum)
{
    CFourier f(2048);
    const Bytes silence(1024, 128);
    for (int i = 0; i < 4; ++i) f.AddBlock(silence.data(), 0, 8, 2, 512);
    f.Transform();
    for (int j = 0; j < 2048; ++j)
        ASSERT_EQ(f.m_pData[j].re * f.m_pData[j].re + f.m_pData[j].im * f.m_pData[j].im, 0.0f);
}

TEST(Fourier, TablesFollowTheLength)
{
    const struct {
        int n, stages;
    } cases[] = {{1, 0}, {2, 1}, {8, 3}, {2048, 11}, {4096, 12}};
    for (const auto& c : cases) {
        CFourier f(c.n);
        EXPECT_EQ(f.m_nStages, c.stages);
        EXPECT_FLOAT_EQ(f.m_fNorm, std::sqrt(float(c.n)));
        std::vector<int> seen(size_t(c.n), 0);
        for (int i = 0; i < c.n; ++i) seen[size_t(f.m_pBitRev[i])]++;
        EXPECT_EQ(seen, std::vector<int>(size_t(c.n), 1)) << "a permutation of " << c.n;
    }
}

void FillRandom(CFourier& f, std::mt19937& rng, float amplitude)
{
    std::uniform_real_distribution<float> d(-amplitude, amplitude);
    for (int i = 0; i < f.m_nSize; ++i) f.m_pInput[i] = d(rng);
}

TEST(Fourier, TransformMatchesADoublePrecisionDft)
{
    std::mt19937 rng(7);
    for (int n : {8, 64, 512, 2048}) {
        CFourier f(n);
        FillRandom(f, rng, 32768.0f);
        f.Transform();
        const double pi = std::acos(-1.0);
        double worst = 0, largest = 0;
        for (int j = 0; j < n; ++j) {
            std::complex<double> sum = 0;
            for (int t = 0; t < n; ++t) sum += double(f.m_pInput[t]) * std::polar(1.0, -2 * pi * double(j) * t / n);
            worst = std::max(worst, std::abs(sum - std::complex<double>(f.m_pData[j].re, f.m_pData[j].im)));
            largest = std::max(largest, std::abs(sum));
        }
        EXPECT_LT(worst / largest, 2e-6 * std::log2(double(n))) << n << " points";
    }
}

TEST(Fourier, FastTransformIsBitIdenticalToTheScalarOne)
{
    std::mt19937 rng(11);
    for (int n : {2, 4, 8, 16, 256, 2048, 4096}) {
        CFourier fast(n), plain(n);
        for (int round = 0; round < 40; ++round) {
            FillRandom(fast, rng, round % 2 ? 32768.0f : 1e-3f);
            if (round % 5 == 0) fast.m_pInput[size_t(round) % size_t(n)] = -0.0f;
            std::memcpy(plain.m_pInput.get(), fast.m_pInput.get(), sizeof(float) * size_t(n));
            fast.Transform();
            plain.TransformScalar();
            ASSERT_EQ(std::memcmp(fast.m_pData.get(), plain.m_pData.get(), sizeof(FourierComplex) * size_t(n)), 0)
                << n << " points, round " << round;
        }
    }
}

// A 16-bit stereo store holding a full-scale sine on the left channel.
Bytes SineStore(int frames, double cyclesPerFrame, int bits = 16)
{
    Bytes store;
    const double pi = std::acos(-1.0);
    const int full = bits == 8 ? 127 : (1 << (bits - 1)) - 1;
    for (int i = 0; i < frames; ++i) {
        Put(store, int(std::lround(full * std::sin(2 * pi * cyclesPerFrame * i))), bits);
        Put(store, 0, bits);
    }
    return store;
}

TEST(Fourier, FullScaleSineOnABinPeaksThereAndInItsMirror)
{
    const int n = 2048, bin = 93;
    CFourier f(n);
    const Bytes store = SineStore(n, double(bin) / n);
    for (int b = 0; b < 4; ++b) f.AddBlock(store.data(), b * 512 * 4, 16, 2, 512);
    f.Transform();
    auto magnitude = [&f](int j) { return std::hypot(f.m_pData[j].re, f.m_pData[j].im); };
    EXPECT_NEAR(magnitude(bin), 32767.0 * n / 2, 32767.0 * n / 2 * 1e-3);
    EXPECT_NEAR(magnitude(n - bin), 32767.0 * n / 2, 32767.0 * n / 2 * 1e-3);
    EXPECT_LT(magnitude(bin + 5), 32767.0 * n / 2 * 1e-3);
}

TEST(FeedAnalyser, TransformsOnlyInTheSpectrumViewAndOnlyWithTheLock)
{
    const Bytes store = SineStore(4096, 16.0 / 2048);
    CFourier analyser(2048);
    SyncLock* lock = SyncOpenNamedLock(nullptr);
    g_pInputFourier = &analyser;
    g_pInputBuffer = const_cast<uint8_t*>(store.data());
    g_pPaintLock = lock;
    g_nBitsPerSample = 16;
    g_nChannels = 2;
    g_nBlockSize = 512;

    g_nViewMode = 0;
    FeedAnalyser(2048 * 4, kFeedInput);
    EXPECT_EQ(g_nInputPos.load(), 2048 * 4) << "the position follows in every view";
    EXPECT_EQ(analyser.m_pInput[2047], 0.0f) << "no history outside the spectrum view";

    g_nViewMode = 1;
    {
        HeldElsewhere busy(lock);
        FeedAnalyser(2048, kFeedInput); // the block before position 2048: frames 0 to 511
    }
    EXPECT_EQ(analyser.m_pInput[2047], float(ReadSample(511 * 4, store.data(), 16)));
    EXPECT_EQ(analyser.m_pData[16].re, 0.0f) << "a busy lock leaves the block untransformed";

    for (int pos : {4096, 6144, 8192}) FeedAnalyser(pos, kFeedInput);
    EXPECT_GT(std::hypot(analyser.m_pData[16].re, analyser.m_pData[16].im), 32767.0 * 1024 * 0.99);

    FeedAnalyser(0, kFeedInput); // a wrapped store: the first block
    EXPECT_EQ(analyser.m_pInput[2047], float(ReadSample(511 * 4, store.data(), 16)));

    g_pInputFourier = nullptr;
    g_pInputBuffer = nullptr;
    g_pPaintLock = nullptr;
    g_nViewMode = 0;
    SyncCloseLock(lock);
}

} // namespace
