// One tick of the 3D test's motion timer without the platform: the clock,
// the place on the ellipse and the cross moved on a 128 x 128 picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "dxtests/source_marker.h"
#include "dxtests/source_motion.h"

namespace {

class Raster : public PixelSurface {
public:
    int Width() const override { return 128; }
    int Height() const override { return 128; }
    uint32_t PixelAt(int x, int y) override { return pixels[size_t(y) * 128 + x]; }
    void PutPixel(int x, int y, uint32_t colour) override { pixels[size_t(y) * 128 + x] = colour; }
    std::vector<uint32_t> pixels = std::vector<uint32_t>(128 * 128, 0x402010);
};

void BM_MotionTick(benchmark::State& state)
{
    SourceClock clock;
    SourceMarker marker;
    Raster picture;
    uint32_t now = 864000000u; // ten days of uptime
    for (auto _ : state) {
        const SourcePlace place = SourcePlaceAt(clock.LapSeconds(now += 5), 100, 60);
        marker.Draw(picture, place.position.x, place.position.z);
        benchmark::DoNotOptimize(place);
    }
}
BENCHMARK(BM_MotionTick);

} // namespace
