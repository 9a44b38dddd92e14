// The 3D test's arithmetic: the settings sliders' scale, the source's path
// on the grid ellipse, the cross's place on the picture, and the time kept
// over days of uptime.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "dxtests/audio3d_settings.h"
#include "dxtests/source_motion.h"

namespace {

TEST(SettingsScale, PositionsToFactorsAsShownAndBack)
{
    const struct {
        int position;
        const char* shown;
        int back; // FactorToSlider of the factor
    } rows[] = {{0, "0.00", 0},    {1, "0.01", 1},     {3, "0.03", 3},    {10, "0.10", 10},
                {11, "0.10", 10},  {15, "0.50", 15},   {17, "0.70", 17},  {20, "1.00", 20},
                {21, "1.00", 20},  {25, "5.00", 25},   {30, "10.00", 30}, {31, "10.00", 30},
                {35, "50.00", 35}, {40, "100.00", 40}, {41, "0.00", 0},   {-1, "0.00", 0}};
    for (const auto& r : rows) {
        char text[32];
        const float factor = SliderToFactor(r.position);
        FormatFactor(text, sizeof(text), factor);
        EXPECT_EQ(std::string(text), r.shown) << "position " << r.position;
        EXPECT_EQ(FactorToSlider(factor), r.back) << "position " << r.position;
    }
    // Every position comes back to itself but for the decades' shared ends.
    for (int p = 1; p <= 40; ++p) {
        const bool shared = p == 11 || p == 21 || p == 31;
        EXPECT_EQ(FactorToSlider(SliderToFactor(p)), shared ? p - 1 : p) << "position " << p;
    }
    EXPECT_EQ(SliderToFactor(35), 50.0f);
    EXPECT_EQ(SliderToFactor(1), 0.01f);
}

TEST(SettingsScale, FactorsOutsideTheScaleGiveZeroAndPartsTruncate)
{
    const struct {
        float value;
        int position;
    } rows[] = {{0.0f, 0},   {-1.0f, 0},  {100.0f, 40}, {100.5f, 0}, {1e9f, 0},   {0.0001f, 0},
                {0.019f, 1}, {0.55f, 15}, {5.0f, 25},   {10.0f, 30}, {9.99f, 29}, {99.9f, 39}};
    for (const auto& r : rows) EXPECT_EQ(FactorToSlider(r.value), r.position) << "value " << r.value;
}

constexpr double kPi = 3.14159265358979323846;

TEST(SourcePath, EllipseOfTheGridSliders)
{
    const struct {
        int gridX, gridZ;
        double t;
        float x, z;
    } rows[] = {
        {100, 100, 0.0, 0.0f, 5.0f},          {100, 100, kPi / 2, 5.0f, 0.0f}, {100, 100, kPi, 0.0f, -5.0f},
        {100, 100, 3 * kPi / 2, -5.0f, 0.0f}, {50, 10, 0.0, 0.0f, 0.5f},       {50, 10, kPi / 2, 2.5f, 0.0f},
        {-100, 100, kPi / 2, -5.0f, 0.0f}, // lap starts to the listener's left
        {100, -100, 0.0, 0.0f, -5.0f},     // starts behind
        {0, 100, kPi / 2, 0.0f, 0.0f},        {0, -40, kPi, 0.0f, 2.0f},       {100, 0, kPi / 4, 3.5355339f, 0.0f},
    };
    for (const auto& r : rows) {
        const SourcePlace p = SourcePlaceAt(r.t, r.gridX, r.gridZ);
        EXPECT_NEAR(p.position.x, r.x, 1e-5) << r.gridX << "/" << r.gridZ << " t " << r.t;
        EXPECT_NEAR(p.position.z, r.z, 1e-5) << r.gridX << "/" << r.gridZ << " t " << r.t;
        EXPECT_EQ(p.position.y, 0.0f);
        // The velocity is the path's point 0.05 s later, not a difference.
        const SourcePlace later = SourcePlaceAt(r.t + 0.05, r.gridX, r.gridZ);
        EXPECT_EQ(p.velocity.x, later.position.x);
        EXPECT_EQ(p.velocity.z, later.position.z);
    }
    // At 100/100 a circle of radius 5; at 0 across, x never leaves 0.
    for (int i = 0; i < 200; ++i) {
        const double t = i * kLapSeconds / 200;
        const SourcePlace c = SourcePlaceAt(t, 100, 100);
        EXPECT_NEAR(std::hypot(c.position.x, c.position.z), 5.0, 1e-5);
        EXPECT_EQ(SourcePlaceAt(t, 0, 77).position.x, 0.0f);
    }
}

TEST(SourcePath, MarkerAtTheEdgesOfThePicture)
{
    const struct {
        float x, z;
        int width, height, cx, cy;
    } rows[] = {
        {0, 0, 128, 128, 64, 64},       {-5, 0, 128, 128, 0, 64},
        {5, 0, 128, 128, 128, 64},      {0, 5, 128, 128, 64, 0},
        {0, -5, 128, 128, 64, 128},     {-4.99f, 4.99f, 128, 128, 0, 0},
        {2.5f, -2.5f, 100, 60, 75, 45}, {4.999f, -4.999f, 128, 128, 127, 127},
    };
    for (const auto& r : rows) {
        const MarkerPoint c = MarkerCentre(r.x, r.z, r.width, r.height);
        EXPECT_EQ(c.x, r.cx) << r.x << "," << r.z;
        EXPECT_EQ(c.y, r.cy) << r.x << "," << r.z;
    }
}

// The reference: sine of the exact seconds, reduced by the library in long double.
double ReferenceX(uint64_t ms) { return static_cast<double>(5.0L * std::sin(static_cast<long double>(ms) / 1000.0L)); }

TEST(SourceClock, TenDaysOfUptime)
{
    const uint64_t tenDays = 10ull * 24 * 3600 * 1000;
    // As a 32-bit float of seconds the time moves in steps of 1/16 s: the
    // 200 ticks of one second show only 16 or 17 places.
    std::set<float> floatTimes;
    for (uint32_t ms = tenDays; ms < tenDays + 1000; ms += 5) floatTimes.insert(static_cast<float>(ms / 1000.0));
    EXPECT_LE(floatTimes.size(), 17u);

    // The clock moves the source on every tick, along the exact path.
    SourceClock clock;
    float lastX = 0;
    for (uint64_t ms = tenDays; ms < tenDays + 2000; ms += 5) {
        const float x = SourcePlaceAt(clock.LapSeconds(static_cast<uint32_t>(ms)), 100, 100).position.x;
        EXPECT_NEAR(x, ReferenceX(ms), 2e-6) << ms;
        if (ms > tenDays) {
            EXPECT_NE(x, lastX) << ms;
        }
        lastX = x;
    }
}

TEST(SourceClock, AcrossTheCountersWrapAndAfterMonths)
{
    // The counter wraps after 49.7 days; the clock goes on from where it was.
    SourceClock clock;
    uint64_t ms = (1ull << 32) - 20;
    for (; ms < (1ull << 32) + 20; ms += 7) {
        const double t = clock.LapSeconds(static_cast<uint32_t>(ms));
        EXPECT_EQ(clock.TotalMs(), ms);
        EXPECT_NEAR(SourcePlaceAt(t, 100, 100).position.x, ReferenceX(ms), 2e-6) << ms;
    }
    // Ticks an hour apart for 120 days: still on the exact path.
    for (; ms < 120ull * 24 * 3600 * 1000; ms += 3600 * 1000 + 3) {
        const double t = clock.LapSeconds(static_cast<uint32_t>(ms));
        EXPECT_EQ(clock.TotalMs(), ms);
        EXPECT_NEAR(SourcePlaceAt(t, 100, 100).position.x, ReferenceX(ms), 2e-6) << ms;
    }
}

} // namespace
