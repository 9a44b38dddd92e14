// The parameter page of every effect shown from its record and read back,
// on a fake set of controls that behaves like the dialog's (a trackbar
// keeps its position inside its range).
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "dxtests/effect_calls.h"
#include "dxtests/effect_page.h"
#include "dxtests/effect_records.h"
#include "dxtests/effect_slider.h"
#include "resource.h"

namespace {

struct Control {
    std::string text;
    bool enabled = true, checked = false;
    int32_t low = 0, high = 100, line = 0, position = 0;
};

class FakePage : public EffectPageControls {
public:
    void SetText(int32_t id, const char* text) override { c[id].text = text; }
    void Enable(int32_t id, bool enabled) override { c[id].enabled = enabled; }
    void Check(int32_t id, bool checked) override { c[id].checked = checked; }
    bool IsChecked(int32_t id) override { return c[id].checked; }
    void SetSliderRange(int32_t id, int32_t low, int32_t high) override
    {
        c[id].low = low;
        c[id].high = high;
        SetSliderPosition(id, c[id].position);
    }
    void SetSliderLineSize(int32_t id, int32_t size) override { c[id].line = size; }
    void SetSliderPosition(int32_t id, int32_t position) override
    {
        c[id].position = std::max(c[id].low, std::min(c[id].high, position));
    }
    int32_t SliderPosition(int32_t id) override { return c[id].position; }

    std::map<int32_t, Control> c;
};

// The live effect: records what it is handed.
struct Applied {
    int32_t kind;
    std::vector<unsigned char> record;
};
std::vector<Applied> g_applied;
HResult RecordSet(EffectKind kind, void*, const void* record)
{
    const auto* bytes = static_cast<const unsigned char*>(record);
    g_applied.push_back({kind, std::vector<unsigned char>(bytes, bytes + EffectRecordSize(kind))});
    return kSOk;
}

class EffectPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls = GetEffectCalls();
        calls.setAllParameters = RecordSet;
        SetEffectCalls(&calls);
        g_applied.clear();
    }
    void TearDown() override { SetEffectCalls(nullptr); }

    EffectCalls calls;
    FakePage page;
    EffectParameterSet set = {};
    int live = 0; // stands for a running effect
};

TEST_F(EffectPage, ShowsEveryEffectsRowsAndGroups)
{
    const struct {
        int32_t rows;
        bool triangle, square, sine, phase;
    } expected[kEffectKindCount] = {{5, true, false, true, true},    {6, false, false, false, false},
                                    {5, false, false, false, false}, {4, false, false, false, false},
                                    {5, true, false, true, true},    {1, true, true, false, false},
                                    {3, false, false, false, false}, {4, false, false, false, false}};
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) {
        const EffectInfo& info = EffectInfoOf(kind);
        SCOPED_TRACE(info.title);
        // Every field in the middle of its range.
        for (int32_t r = 0; r < info.rowCount; ++r)
            StoreRowValue(EffectRecord(set, kind), info.rows[r], (info.rows[r].min + info.rows[r].max) / 2);
        ShowEffectPage(page, set, kind);
        EXPECT_EQ(page.c[IDC_FX_PAGE_TITLE].text, "Parameters for [ " + std::string(info.title) + " ]");
        ASSERT_EQ(info.rowCount, expected[kind].rows);
        for (int32_t r = 0; r < kMaxParameterRows; ++r) {
            const int32_t base = IDC_FX_ROW_FIRST + 5 * r;
            const Control& slider = page.c[base + 2];
            EXPECT_EQ(slider.low, kSliderBottom);
            EXPECT_EQ(slider.high, kSliderTop);
            if (r >= info.rowCount) {
                for (int32_t id = base; id < base + 5; ++id)
                    EXPECT_TRUE(page.c[id].text == "- - -" && !page.c[id].enabled) << id;
                EXPECT_EQ(slider.line, 4095);
                continue;
            }
            const EffectParameterRow& row = info.rows[r];
            EXPECT_EQ(page.c[base].text, row.name);
            EXPECT_EQ(page.c[base + 3].text, FormatParameter(row.min, row.format));
            EXPECT_EQ(page.c[base + 4].text, FormatParameter(row.max, row.format));
            EXPECT_EQ(page.c[base + 1].text, FormatParameter(RowValue(EffectRecord(set, kind), row), row.format));
            const float stored = RowValue(EffectRecord(set, kind), row); // Gargle's rate is whole
            EXPECT_NEAR(slider.position, (stored - row.min) / (row.max - row.min) * kSliderTop, 2);
            EXPECT_TRUE(page.c[base].enabled && slider.enabled);
        }
        EXPECT_EQ(page.c[IDC_FX_TRIANGLE].enabled, expected[kind].triangle);
        EXPECT_EQ(page.c[IDC_FX_SQUARE].enabled, expected[kind].square);
        EXPECT_EQ(page.c[IDC_FX_SINE].enabled, expected[kind].sine);
        EXPECT_EQ(page.c[IDC_FX_WAVEFORM_GROUP].enabled, expected[kind].triangle);
        for (int32_t id = IDC_FX_PHASE_FIRST; id <= IDC_FX_PHASE_GROUP; ++id)
            EXPECT_EQ(page.c[id].enabled, expected[kind].phase) << id;
    }
}

TEST_F(EffectPage, ReadsEveryEffectAtBothEndsAndHandsTheRecordOver)
{
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) {
        const EffectInfo& info = EffectInfoOf(kind);
        SCOPED_TRACE(info.title);
        for (int32_t end : {kSliderBottom, kSliderTop}) {
            ShowEffectPage(page, set, kind);
            for (int32_t r = 0; r < info.rowCount; ++r) page.SetSliderPosition(info.rows[r].base + 2, end);
            g_applied.clear();
            ReadEffectPage(page, set, kind, &live);
            for (int32_t r = 0; r < info.rowCount; ++r) {
                const EffectParameterRow& row = info.rows[r];
                const float expected = end == kSliderBottom ? row.min : row.max;
                EXPECT_EQ(RowValue(EffectRecord(set, kind), row), expected) << row.name;
                EXPECT_EQ(page.c[row.base + 1].text, FormatParameter(expected, row.format));
            }
            ASSERT_EQ(g_applied.size(), 1u);
            EXPECT_EQ(g_applied[0].kind, kind);
            EXPECT_EQ(std::memcmp(g_applied[0].record.data(), EffectRecord(set, kind), EffectRecordSize(kind)), 0);
        }
    }
    // Without a running effect only the record changes.
    g_applied.clear();
    ReadEffectPage(page, set, kEcho, nullptr);
    EXPECT_TRUE(g_applied.empty());
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
    set.chorus = {std::numeric_limits<float>::quiet_NaN(), 0, -500, 0, 9, 0, -3};
    set.gargle = {0xFFFFFFFFu, 5};
    for (int32_t kind : {kCompressor, kEcho, kChorus, kGargle}) ApplyEffectRecord(kind, &live, EffectRecord(set, kind));
    ASSERT_EQ(g_applied.size(), 4u);
    DsfxCompressor compressor;
    std::memcpy(&compressor, g_applied[0].record.data(), sizeof(compressor));
    EXPECT_EQ((std::vector<float>{compressor.fGain, compressor.fAttack, compressor.fRelease, compressor.fThreshold,
                                  compressor.fRatio, compressor.fPredelay}),
              (std::vector<float>{0, 0.01f, 50, 0, 1, 0}));
    DsfxEcho echo;
    std::memcpy(&echo, g_applied[1].record.data(), sizeof(echo));
    EXPECT_EQ((std::vector<float>{echo.fWetDryMix, echo.fFeedback, echo.fLeftDelay, echo.fRightDelay}),
              (std::vector<float>{0, 100, 1, 2000}));
    EXPECT_EQ(echo.lPanDelay, 1);
    DsfxChorus chorus;
    std::memcpy(&chorus, g_applied[2].record.data(), sizeof(chorus));
    EXPECT_EQ(chorus.fWetDryMix, 0.0f);
    EXPECT_EQ(chorus.fFeedback, -99.0f);
    EXPECT_EQ(chorus.lWaveform, 1);
    EXPECT_EQ(chorus.lPhase, 0);
    DsfxGargle gargle;
    std::memcpy(&gargle, g_applied[3].record.data(), sizeof(gargle));
    EXPECT_EQ(gargle.dwRateHz, 1000u);
    EXPECT_EQ(gargle.dwWaveShape, 1u);
    EXPECT_EQ(set.compressor.fAttack, 0.0f); // the record keeps what it holds
}

} // namespace
