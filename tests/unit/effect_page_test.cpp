// The parameter page of every effect shown from its record and read back, on
// a fake set of controls that behaves like the dialog's (a trackbar keeps its
// position inside its range); and the sliders' scale at and beyond both ends
// of every parameter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "dxtests/effect_calls.h"
#include "dxtests/effect_page.h"
#include "dxtests/effect_records.h"
#include "dxtests/effect_slider.h"
#include "dxtests/effect_table.h"
#include "resource.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Control {
    std::string text;
    bool enabled = true, checked = false;
    int32_t low = 0, high = 100, position = 0;
};

class FakePage : public EffectPageControls {
public:
    void SetText(int32_t id, const char* text) override { c[id].text = text; }
    void Enable(int32_t id, bool enabled) override { c[id].enabled = enabled; }
    void Check(int32_t id, bool checked) override { c[id].checked = checked; }
    bool IsChecked(int32_t id) override { return c[id].checked; }
    void SetSliderRange(int32_t id, int32_t low, int32_t high) override
    {
        c[id].low = low, c[id].high = high;
        SetSliderPosition(id, c[id].position);
    }
    void SetSliderLineSize(int32_t, int32_t) override {}
    void SetSliderPosition(int32_t id, int32_t position) override
    {
        c[id].position = std::max(c[id].low, std::min(c[id].high, position));
    }
    int32_t SliderPosition(int32_t id) override { return c[id].position; }
    std::map<int32_t, Control> c;
};

// The live effect: the kinds handed a record, and the last record of each.
std::vector<int32_t> g_kinds;
EffectParameterSet g_handed;
HResult RecordSet(EffectKind kind, void*, const void* record)
{
    g_kinds.push_back(kind);
    std::memcpy(EffectRecord(g_handed, kind), record, EffectRecordSize(kind));
    return kSOk;
}

class EffectPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls = GetEffectCalls();
        calls.setAllParameters = RecordSet;
        SetEffectCalls(&calls);
        g_kinds.clear();
        g_handed = {};
    }
    void TearDown() override { SetEffectCalls(nullptr); }

    EffectCalls calls;
    FakePage page;
    EffectParameterSet set = {};
    int live = 0; // stands for a running effect
};

TEST_F(EffectPage, EveryEffectShownWithItsRowsAndGroupsAndReadAtBothEnds)
{
    // Rows, and which of triangle, square, sine and the phase buttons each effect offers.
    const int expected[kEffectKindCount][5] = {{5, 1, 0, 1, 1}, {6, 0, 0, 0, 0}, {5, 0, 0, 0, 0}, {4, 0, 0, 0, 0},
                                               {5, 1, 0, 1, 1}, {1, 1, 1, 0, 0}, {3, 0, 0, 0, 0}, {4, 0, 0, 0, 0}};
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) {
        const EffectInfo& info = EffectInfoOf(kind);
        SCOPED_TRACE(info.title);
        ASSERT_EQ(info.rowCount, expected[kind][0]);
        // Every field in the middle of its range.
        for (int32_t r = 0; r < info.rowCount; ++r)
            StoreRowValue(EffectRecord(set, kind), info.rows[r], (info.rows[r].min + info.rows[r].max) / 2);
        ShowEffectPage(page, set, kind);
        EXPECT_EQ(page.c[IDC_FX_PAGE_TITLE].text, "Parameters for [ " + std::string(info.title) + " ]");
        for (int32_t r = 0; r < kMaxParameterRows; ++r) {
            const int32_t base = IDC_FX_ROW_FIRST + 5 * r;
            const Control& slider = page.c[base + 2];
            EXPECT_TRUE(slider.low == kSliderBottom && slider.high == kSliderTop);
            for (int32_t id = base; r >= info.rowCount && id < base + 5; ++id)
                EXPECT_TRUE(page.c[id].text == "- - -" && !page.c[id].enabled) << id;
            if (r >= info.rowCount) continue;
            const EffectParameterRow& row = info.rows[r];
            const float stored = RowValue(EffectRecord(set, kind), row); // Gargle's rate is whole
            EXPECT_EQ(
                (std::vector<std::string>{page.c[base].text, page.c[base + 1].text, page.c[base + 3].text,
                                          page.c[base + 4].text}),
                (std::vector<std::string>{row.name, FormatParameter(stored, row.format),
                                          FormatParameter(row.min, row.format), FormatParameter(row.max, row.format)}));
            EXPECT_NEAR(slider.position, (stored - row.min) / (row.max - row.min) * kSliderTop, 2);
            EXPECT_TRUE(page.c[base].enabled && slider.enabled);
        }
        EXPECT_EQ((std::vector<int>{page.c[IDC_FX_TRIANGLE].enabled, page.c[IDC_FX_SQUARE].enabled,
                                    page.c[IDC_FX_SINE].enabled, page.c[IDC_FX_WAVEFORM_GROUP].enabled}),
                  (std::vector<int>{expected[kind][1], expected[kind][2], expected[kind][3], expected[kind][1]}));
        for (int32_t id = IDC_FX_PHASE_FIRST; id <= IDC_FX_PHASE_GROUP; ++id)
            EXPECT_EQ(page.c[id].enabled, expected[kind][4]) << id;

        // Every slider at either end reads the row's end into the record, which the effect receives.
        for (int32_t end : {kSliderBottom, kSliderTop}) {
            for (int32_t r = 0; r < info.rowCount; ++r) page.SetSliderPosition(info.rows[r].base + 2, end);
            g_kinds.clear();
            ReadEffectPage(page, set, kind, &live);
            for (int32_t r = 0; r < info.rowCount; ++r) {
                const EffectParameterRow& row = info.rows[r];
                const float value = end == kSliderBottom ? row.min : row.max;
                EXPECT_EQ(RowValue(EffectRecord(set, kind), row), value) << row.name;
                EXPECT_EQ(page.c[row.base + 1].text, FormatParameter(value, row.format));
            }
            EXPECT_EQ(g_kinds, std::vector<int32_t>{kind});
            EXPECT_EQ(std::memcmp(EffectRecord(g_handed, kind), EffectRecord(set, kind), EffectRecordSize(kind)), 0);
        }
    }
    // Without a running effect only the record changes.
    g_kinds.clear();
    ReadEffectPage(page, set, kEcho, nullptr);
    EXPECT_TRUE(g_kinds.empty());
}

TEST_F(EffectPage, RadioGroups)
{
    set.chorus.lPhase = 4;
    set.chorus.lWaveform = 1;
    ShowEffectPage(page, set, kChorus);
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(page.c[IDC_FX_PHASE_FIRST + i].checked, i == 4);
    EXPECT_TRUE(page.c[IDC_FX_SINE].checked && !page.c[IDC_FX_TRIANGLE].checked);
    set.flanger.lPhase = 3;
    set.flanger.lWaveform = 2; // matches no button: the buttons stay as they were
    ShowEffectPage(page, set, kFlanger);
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(page.c[IDC_FX_PHASE_FIRST + i].checked, i == 3);
    EXPECT_TRUE(page.c[IDC_FX_SINE].checked);
    ReadEffectPage(page, set, kFlanger, nullptr);
    EXPECT_EQ(set.flanger.lWaveform, 1);
    EXPECT_EQ(set.flanger.lPhase, 3);
    page.Check(IDC_FX_TRIANGLE, true);
    page.Check(IDC_FX_PHASE_FIRST + 3, false); // none checked reads as 180 degrees
    ReadEffectPage(page, set, kFlanger, nullptr);
    EXPECT_EQ(set.flanger.lWaveform, 0);
    EXPECT_EQ(set.flanger.lPhase, 4);

    // Gargle: Triangle 0 and Square 1; its rate is a whole number, truncated.
    set.gargle = {20, 1};
    ShowEffectPage(page, set, kGargle);
    EXPECT_EQ(page.c[IDC_FX_ROW_FIRST + 1].text, "20.0");
    EXPECT_TRUE(page.c[IDC_FX_SQUARE].checked && !page.c[IDC_FX_TRIANGLE].checked && !page.c[IDC_FX_SINE].enabled);
    page.SetSliderPosition(IDC_FX_ROW_FIRST + 2, SliderPositionFor(20.7f, 1.0f, 1000.0f));
    ReadEffectPage(page, set, kGargle, nullptr);
    EXPECT_EQ(page.c[IDC_FX_ROW_FIRST + 1].text, "20.7");
    EXPECT_EQ(set.gargle.dwRateHz, 20u);
    EXPECT_EQ(set.gargle.dwWaveShape, 1u);
}

TEST_F(EffectPage, RecordsOutsideTheirRangesReachTheEffectClamped)
{
    set.compressor = {0, 0, 0, 0, 0, 0}; // attack, release and ratio below their minima
    set.echo = {-5, 500, 0, 1e9f, 7};    // and a pan delay that is neither 0 nor 1
    set.chorus = {kNaN, 0, -500, 0, 9, 0, -3};
    set.gargle = {0xFFFFFFFFu, 5};
    for (int32_t kind : {kCompressor, kEcho, kChorus, kGargle}) ApplyEffectRecord(kind, &live, EffectRecord(set, kind));
    const DsfxCompressor& compressor = g_handed.compressor;
    EXPECT_EQ((std::vector<float>{compressor.fGain, compressor.fAttack, compressor.fRelease, compressor.fThreshold,
                                  compressor.fRatio, compressor.fPredelay}),
              (std::vector<float>{0, 0.01f, 50, 0, 1, 0}));
    const DsfxEcho& echo = g_handed.echo;
    EXPECT_EQ((std::vector<float>{echo.fWetDryMix, echo.fFeedback, echo.fLeftDelay, echo.fRightDelay}),
              (std::vector<float>{0, 100, 1, 2000}));
    EXPECT_EQ(echo.lPanDelay, 1);
    const DsfxChorus& chorus = g_handed.chorus;
    EXPECT_EQ((std::vector<float>{chorus.fWetDryMix, chorus.fFeedback}), (std::vector<float>{0, -99}));
    EXPECT_EQ(chorus.lWaveform, 1);
    EXPECT_EQ(chorus.lPhase, 0);
    EXPECT_EQ(g_handed.gargle.dwRateHz, 1000u);
    EXPECT_EQ(g_handed.gargle.dwWaveShape, 1u);
    EXPECT_EQ(set.compressor.fAttack, 0.0f); // the record keeps what it holds
}

// The trackbar raises a position below its range to its minimum.
int32_t Shown(float value, const EffectParameterRow& row)
{
    return std::max(kSliderBottom, SliderPositionFor(value, row.min, row.max));
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
            // Whatever position the trackbar holds reads inside the range, its ends beyond them.
            for (int32_t position :
                 {INT32_MIN, -1, 0, 2, 1000, kSliderTop / 2, kSliderTop - 1, kSliderTop + 1, INT32_MAX}) {
                const float value = SliderValueAt(position, row.min, row.max);
                EXPECT_TRUE(position < kSliderBottom ? value == row.min
                            : position > kSliderTop  ? value == row.max
                                                     : value >= row.min && value <= row.max)
                    << position << " -> " << value;
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
    // Chorus wet/dry mix 50 reads back a hair below 50, still shown as 50.0.
    EXPECT_EQ(FormatParameter(SliderValueAt(SliderPositionFor(50.0f, 0.0f, 100.0f), 0.0f, 100.0f), 1), "50.0");
    // The three display formats; Distortion's frequencies keep their fraction in the record.
    EXPECT_EQ((std::vector<std::string>{FormatParameter(0.0f, 1), FormatParameter(4321.6f, 0),
                                        FormatParameter(20.7f, 1), FormatParameter(0.05f, 2)}),
              (std::vector<std::string>{"0.0", "4322", "20.7", "0.05"}));
}

} // namespace
