// Tone synthesis speed: one loop of each shape, and the longest loop the
// default store allows (a capped 997 Hz tone), plus writing a tone file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "state/app_state.h"
#include "tones/tone_synth.h"
#include "tones/wav_writer.h"

namespace {

void SetFormat(int32_t rate, int32_t channels, int32_t bits, int32_t capacity)
{
    g_nSampleRate = rate;
    g_nChannels = channels;
    g_nBitsPerSample = bits;
    g_nOutputBufferSize = capacity;
}

// 1 kHz at 44100 Hz, 16-bit stereo: a 44100-frame loop.
void BM_GenerateTone(benchmark::State& state)
{
    SetFormat(44100, 2, 16, 2097152);
    const auto shape = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        GenerateTone(shape, 1000, 50, 0);
        benchmark::DoNotOptimize(g_pPlaybackSource);
    }
    state.SetItemsProcessed(state.iterations() * (g_nPlaybackSourceSize / 4));
    FreePlaybackSource();
}
BENCHMARK(BM_GenerateTone)->DenseRange(0, 5)->ArgName("shape")->Unit(benchmark::kMicrosecond);

// 997 Hz has no common divisor with 44100: the loop fills a 20 MB store.
void BM_GenerateCappedTone(benchmark::State& state)
{
    SetFormat(44100, 1, 16, 20971520);
    const auto shape = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        GenerateTone(shape, 997, 50, 0);
        benchmark::DoNotOptimize(g_pPlaybackSource);
    }
    state.SetItemsProcessed(state.iterations() * (g_nPlaybackSourceSize / 2));
    FreePlaybackSource();
}
BENCHMARK(BM_GenerateCappedTone)->Arg(0)->Arg(5)->ArgName("shape")->Unit(benchmark::kMillisecond);

// The default dialog tone (3 kHz, 10 s: 31 loops of 14700 frames) saved.
void BM_WriteToneFile(benchmark::State& state)
{
    SetFormat(44100, 2, 16, 2097152);
    GenerateTone(0, 3000, 50, 10);
    char path[] = "/tmp/mirravox-bench-XXXXXX.wav";
    const int fd = mkstemps(path, 4);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    close(fd);
    for (auto _ : state) benchmark::DoNotOptimize(WriteWavFile(path, true));
    state.SetBytesProcessed(state.iterations() * int64_t{g_nPlaybackSourceSize} * g_nToneRepeatCount);
    std::remove(path);
    FreePlaybackSource();
}
BENCHMARK(BM_WriteToneFile)->Unit(benchmark::kMillisecond);

} // namespace
