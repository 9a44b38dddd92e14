// Reading the effect page: the dialog reads it on every notification of its
// controls, many times a second while a slider is dragged. This measures the
// portable part (six slider positions to values, six value texts, the
// clamped record handed over) on a page whose controls cost nothing.
#include <benchmark/benchmark.h>

#include <map>

#include "dxtests/effect_calls.h"
#include "dxtests/effect_page.h"

namespace {

class FreePage : public EffectPageControls {
public:
    void SetText(int32_t, const char* text) override { benchmark::DoNotOptimize(text); }
    void Enable(int32_t, bool) override {}
    void Check(int32_t, bool) override {}
    bool IsChecked(int32_t) override { return false; }
    void SetSliderRange(int32_t, int32_t, int32_t) override {}
    void SetSliderLineSize(int32_t, int32_t) override {}
    void SetSliderPosition(int32_t id, int32_t position) override { positions[id] = position; }
    int32_t SliderPosition(int32_t id) override { return positions[id] + 1; }
    std::map<int32_t, int32_t> positions;
};

HResult Take(EffectKind, void* effect, const void* record)
{
    benchmark::DoNotOptimize(effect);
    benchmark::DoNotOptimize(record);
    return 0;
}

void BM_ReadEffectPage(benchmark::State& state)
{
    EffectCalls calls = GetEffectCalls();
    calls.setAllParameters = Take;
    SetEffectCalls(&calls);
    const auto kind = static_cast<int32_t>(state.range(0));
    EffectParameterSet set = {};
    FreePage page;
    ShowEffectPage(page, set, kind);
    int live = 0;
    for (auto _ : state) ReadEffectPage(page, set, kind, &live);
    SetEffectCalls(nullptr);
}
BENCHMARK(BM_ReadEffectPage)->ArgName("kind")->Arg(kCompressor)->Arg(kGargle);

} // namespace
