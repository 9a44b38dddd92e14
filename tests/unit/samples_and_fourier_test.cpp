// Sample access at every width, the analyser's input scaling and history, its
// transform against a double-precision DFT, and its feeding from the stores.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "display/feed_analyser.h"
#include "display/fourier.h"
#include "display/samples.h"
#include "held_lock.h"
#include "platform/sync.h"
#include "state/app_state.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Floats = std::vector<float>;

// Little-endian bytes of one sample of the width.
void Put(Bytes& b, int value, int bits)
{
    const uint32_t v = bits == 8 ? uint32_t(value + 128) : uint32_t(value);
    for (int i = 0; i < bits / 8; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

TEST(Samples, ReadSampleSignExtendsAndSampleOffsetFindsTheChannel)
{
    // The sample's bits as a little-endian number, its width: its value. The
    // displays read 8 to 24 bits at their extremes in the view tests.
    using Read = std::tuple<uint32_t, int, int>;
    for (const auto& [raw, bits, expected] :
         {Read{0xfffe, 16, -2}, Read{0x3412, 12, 0}, Read{0xffffff, 24, -1}, Read{0x7fffffff, 32, 2147483647},
          Read{0x80000000, 32, -2147483647 - 1}}) {
        const Bytes b = {9, uint8_t(raw), uint8_t(raw >> 8), uint8_t(raw >> 16), uint8_t(raw >> 24)};
        EXPECT_EQ(ReadSample(1, b.data(), bits), expected) << bits << " bits";
    }
    // Byte offset, bits, channels, channel: the offset of that channel's sample in the frame.
    const std::tuple<int, int, int, int, int> offsets[] = {{5, 8, 2, 1, 5},  {13, 24, 2, 1, 15}, {17, 32, 2, 1, 20},
                                                           {7, 16, 2, 2, 0}, {7, 16, 2, -1, 0},  {7, 16, 1, 1, 0}};
    for (const auto& [offset, bits, channels, channel, expected] : offsets)
        EXPECT_EQ(SampleOffset(offset, bits, channels, channel), expected) << offset << " " << bits << " " << channel;
}

TEST(Fourier, AddBlockScalesTheLeftChannelToSixteenBitsAndShiftsTheHistory)
{
    // Bits, channels, the left channel's samples: their values in the history.
    const std::tuple<int, int, std::vector<int>, Floats> cases[] = {
        {8, 1, {-128, 127, 0}, {-32768.0f, 32512.0f, 0.0f}},
        {16, 2, {-32768, 32767, -5}, {-32768.0f, 32767.0f, -5.0f}},
        {24, 2, {8388607, -8388608, -256}, {32767.99609375f, -32768.0f, -1.0f}}};
    for (const auto& [bits, channels, left, expected] : cases) {
        SCOPED_TRACE(std::to_string(bits) + " bits " + std::to_string(channels) + " ch");
        CFourier f(8);
        Bytes store;
        for (int v : left)
            for (int ch = 0; ch < channels; ++ch)
                Put(store, ch == 0 ? v : (bits == 8 ? 99 : 12345), bits); // the right channel is never read
        const float *e = expected.data(), *in = f.m_pInput.get();
        f.AddBlock(store.data(), 0, bits, channels, 3);
        EXPECT_EQ(Floats(in, in + 8), (Floats{0, 0, 0, 0, 0, e[0], e[1], e[2]}));
        f.AddBlock(store.data(), SampleBytes(bits) * channels, bits, channels, 2);
        EXPECT_EQ(Floats(in, in + 8), (Floats{0, 0, 0, e[0], e[1], e[2], e[1], e[2]}));
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
    for (int n : {2, 8, 64, 512, 2048}) {
        CFourier f(n);
        FillRandom(f, rng, 32768.0f);
        f.Transform();
        double worst = 0, largest = 0;
        for (int j = 0; j < n; ++j) {
            std::complex<double> sum = 0;
            for (int t = 0; t < n; ++t)
                sum += double(f.m_pInput[t]) * std::polar(1.0, -2 * std::acos(-1.0) * double(j) * t / n);
            worst = std::max(worst, std::abs(sum - std::complex<double>(f.m_pData[j].re, f.m_pData[j].im)));
            largest = std::max(largest, std::abs(sum));
        }
        EXPECT_LT(worst / largest, 2e-6 * std::log2(double(n))) << n << " points";
    }
}

TEST(Fourier, FastTransformIsBitIdenticalToTheScalarOne)
{
    std::mt19937 rng(11);
    for (int n : {1, 2, 4, 8, 16, 256, 2048, 4096}) {
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

TEST(FeedAnalyser, TransformsOnlyInTheSpectrumViewAndOnlyWithTheLock)
{
    // 16-bit stereo, a full-scale sine of 16 periods per 2048 frames on the left.
    Bytes store;
    for (int i = 0; i < 4096; ++i)
        Put(store, int(std::lround(32767 * std::sin(std::acos(-1.0) * i / 64))), 16), Put(store, 0, 16);
    CFourier analyser(2048);
    SyncLock* lock = SyncOpenNamedLock(nullptr);
    g_pInputFourier = &analyser;
    g_pInputBuffer = store.data();
    g_pPaintLock = lock;
    const int32_t bits = g_nBitsPerSample, channels = g_nChannels, blockSize = g_nBlockSize;
    g_nBitsPerSample = 16, g_nChannels = 2, g_nBlockSize = 512;
    const float lastOfFirstBlock = float(ReadSample(511 * 4, store.data(), 16));

    g_nViewMode = 0;
    FeedAnalyser(2048 * 4, kFeedInput);
    EXPECT_EQ(g_nInputPos.load(), 2048 * 4) << "the position follows in every view";
    EXPECT_EQ(analyser.m_pInput[2047], 0.0f) << "no history outside the spectrum view";

    g_nViewMode = 1;
    {
        HeldElsewhere busy(lock);
        FeedAnalyser(2048, kFeedInput); // the block before position 2048: frames 0 to 511
    }
    EXPECT_EQ(analyser.m_pInput[2047], lastOfFirstBlock);
    EXPECT_EQ(analyser.m_pData[16].re, 0.0f) << "a busy lock leaves the block untransformed";
    for (int pos : {4096, 6144, 8192}) FeedAnalyser(pos, kFeedInput);
    EXPECT_GT(std::hypot(analyser.m_pData[16].re, analyser.m_pData[16].im), 32767.0 * 1024 * 0.99);
    FeedAnalyser(0, kFeedInput); // a wrapped store: the first block
    EXPECT_EQ(analyser.m_pInput[2047], lastOfFirstBlock);

    g_pInputFourier = nullptr, g_pInputBuffer = nullptr, g_pPaintLock = nullptr, g_nViewMode = 0;
    g_nBitsPerSample = bits, g_nChannels = channels, g_nBlockSize = blockSize; // as the other suites expect
    SyncCloseLock(lock);
}

} // namespace
