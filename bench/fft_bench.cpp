// The analyser's transform against FFTW3f and KissFFT on the same input: a
// complex transform of N points of real sound, the imaginary parts zero.
// The peers are linked into this benchmark only.
#include <benchmark/benchmark.h>

#if defined(MIRRAVOX_FFT_PEERS)
#include <fftw3.h>
#include <kissfft/kiss_fft.h>
#endif

#include <random>
#include <vector>

#include "display/fourier.h"
#include "display/samples.h"
#include "display/spectrum.h"
#include "display/waveform.h"
#include "platform/recording_canvas.h"

namespace {

std::vector<float> Noise(int n)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> d(-32768.0f, 32767.0f);
    std::vector<float> x(static_cast<size_t>(n));
    for (float& v : x) v = d(rng);
    return x;
}

// The SSE2 transform, or the plain scalar one it must equal bit for bit.
template <void (CFourier::*Run)()>
void BM_Ours(benchmark::State& state)
{
    const int n = int(state.range(0));
    CFourier f(n);
    const auto x = Noise(n);
    std::copy(x.begin(), x.end(), f.m_pInput.get());
    for (auto _ : state) {
        (f.*Run)();
        benchmark::DoNotOptimize(f.m_pData.get());
    }
}
BENCHMARK(BM_Ours<&CFourier::Transform>)->Name("BM_Transform")->Arg(1024)->Arg(2048)->Arg(4096);
BENCHMARK(BM_Ours<&CFourier::TransformScalar>)->Name("BM_TransformScalar")->Arg(2048);

#if defined(MIRRAVOX_FFT_PEERS)
void BM_Fftw3f(benchmark::State& state)
{
    const int n = int(state.range(0));
    fftwf_complex* in = fftwf_alloc_complex(size_t(n));
    fftwf_complex* out = fftwf_alloc_complex(size_t(n));
    fftwf_plan plan = fftwf_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_MEASURE);
    const auto x = Noise(n);
    for (int i = 0; i < n; ++i) in[i][0] = x[size_t(i)], in[i][1] = 0.0f;
    for (auto _ : state) {
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}
BENCHMARK(BM_Fftw3f)->Arg(1024)->Arg(2048)->Arg(4096);

void BM_KissFft(benchmark::State& state)
{
    const int n = int(state.range(0));
    kiss_fft_cfg cfg = kiss_fft_alloc(n, 0, nullptr, nullptr);
    std::vector<kiss_fft_cpx> in(static_cast<size_t>(n)), out(static_cast<size_t>(n));
    const auto x = Noise(n);
    for (int i = 0; i < n; ++i) in[size_t(i)] = {x[size_t(i)], 0.0f};
    for (auto _ : state) {
        kiss_fft(cfg, in.data(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
    kiss_fft_free(cfg);
}
BENCHMARK(BM_KissFft)->Arg(1024)->Arg(2048)->Arg(4096);
#endif

// One block of 16-bit stereo into the history, as each device block does.
void BM_AddBlock(benchmark::State& state)
{
    CFourier f(2048);
    std::vector<uint8_t> store(4096 * 4, 0x55);
    for (auto _ : state) {
        f.AddBlock(store.data(), 0, 16, 2, 1024);
        benchmark::DoNotOptimize(f.m_pInput.get());
    }
}
BENCHMARK(BM_AddBlock);

// The drawing logic alone, on a canvas that only records (1920 x 540 band).
void BM_DrawWaveform(benchmark::State& state)
{
    std::vector<uint8_t> store(1 << 20, 0x33);
    int anchor = 1;
    WaveformState s;
    s.view.showGrid = true;
    for (auto _ : state) {
        RecordingCanvas c;
        DrawWaveform({&c, nullptr}, s, {store.data(), int(store.size()), int(store.size()), &anchor}, 50000, 540, 1920,
                     0, 0, kWaveLive);
        benchmark::DoNotOptimize(c.ops.data());
    }
}
BENCHMARK(BM_DrawWaveform);

void BM_DrawSpectrum(benchmark::State& state)
{
    CFourier f(2048);
    f.SetSampleRate(44100);
    SpectrumState s;
    s.view.showGrid = true;
    s.displayWidth = 1920;
    s.spectrumBins = SpectrumBins(1920, 2048, 1.0f);
    for (auto _ : state) {
        RecordingCanvas c;
        DrawSpectrum({&c, nullptr}, s, f, 540, 1920, 0, 0);
        benchmark::DoNotOptimize(c.ops.data());
    }
}
BENCHMARK(BM_DrawSpectrum);

} // namespace
