// The effect sliders' scale at and beyond both ends of every parameter of
// every effect, and the worked values of the scale.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dxtests/effect_slider.h"
#include "dxtests/effect_table.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The trackbar raises a position below its range to its minimum.
int32_t Shown(float value, const EffectParameterRow& row)
{
    const int32_t position = SliderPositionFor(value, row.min, row.max);
    return position < kSliderBottom ? kSliderBottom : position;
}

TEST(EffectSlider, EveryParameterAtAndBeyondBothEnds)
{
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) {
        const EffectInfo& info = EffectInfoOf(kind);
        for (int32_t r = 0; r < info.rowCount; ++r) {
            const EffectParameterRow& row = info.rows[r];
            SCOPED_TRACE(std::string(info.title) + " / " + row.name);
            const float span = row.max - row.min;
            for (float low : {row.min, row.min - span, row.min - 1e-6f, -kInf, kNaN})
                EXPECT_EQ(SliderValueAt(Shown(low, row), row.min, row.max), row.min) << low;
            for (float high : {row.max, row.max + span, kInf, 3.0e38f})
                EXPECT_EQ(SliderValueAt(Shown(high, row), row.min, row.max), row.max) << high;
            // Positions the trackbar should never hold still read inside the range.
            for (int32_t position : {0, -1, INT32_MIN})
                EXPECT_EQ(SliderValueAt(position, row.min, row.max), row.min) << position;
            for (int32_t position : {kSliderTop + 1, INT32_MAX})
                EXPECT_EQ(SliderValueAt(position, row.min, row.max), row.max) << position;
            for (int32_t position : {2, 1000, kSliderTop / 2, kSliderTop - 2, kSliderTop - 1}) {
                const float value = SliderValueAt(position, row.min, row.max);
                EXPECT_TRUE(value >= row.min && value <= row.max) << position << " -> " << value;
            }
            // A value shown and read back moves by less than two slider positions.
            for (float f : {0.25f, 0.5f, 0.9f}) {
                const float value = row.min + span * f;
                EXPECT_NEAR(SliderValueAt(Shown(value, row), row.min, row.max), value,
                            2.0 * span / (kSliderTop - 1) + std::fabs(value) * 1e-6);
            }
            // The arrow-key step is the row's step in slider positions, whole.
            const int32_t line = SliderLineSize(row.min, row.max, row.step);
            EXPECT_GE(line, 1);
            EXPECT_LE(line * static_cast<double>(span) / kSliderTop, row.step * 1.0001);
            EXPECT_GT((line + 1) * static_cast<double>(span) / kSliderTop, row.step * 0.9999);
        }
    }
}

TEST(EffectSlider, WorkedValues)
{
    // Chorus wet/dry mix 50: the middle of the scale, read back a hair below 50.
    EXPECT_EQ(SliderPositionFor(50.0f, 0.0f, 100.0f), 4194303);
    const float back = SliderValueAt(4194303, 0.0f, 100.0f);
    EXPECT_LT(back, 50.0f);
    EXPECT_NEAR(back, 49.99999f, 1e-4f);
    EXPECT_EQ(FormatParameter(back, 1), "50.0");
    EXPECT_EQ(SliderLineSize(0.0f, 100.0f, 0.1f), 8388);
    // Compressor attack 0 lies below its minimum 0.01: left end, shown as 0.0.
    EXPECT_EQ(SliderPositionFor(0.0f, 0.01f, 500.0f), 0);
    EXPECT_EQ(FormatParameter(0.0f, 1), "0.0");
    // The three display formats; Distortion's frequencies keep their fraction in the record.
    EXPECT_EQ(FormatParameter(4321.6f, 0), "4322");
    EXPECT_EQ(FormatParameter(20.7f, 1), "20.7");
    EXPECT_EQ(FormatParameter(0.05f, 2), "0.05");
}

} // namespace
