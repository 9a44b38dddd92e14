// The parameter page on the real controls of the DSAUDIOFX template: the
// trackbars' own range, the radio groups the dialog manager keeps exclusive,
// and every effect shown and read back through them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "dxtests/effect_page_win.h"
#include "dxtests/effect_records.h"
#include "dxtests/effect_slider.h"
#include "resource.h"

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

class EffectPageControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        hDlg = CreateDialogParamA(GetModuleHandleA(nullptr), "DSAUDIOFX", nullptr, PlainDialog, 0);
        ASSERT_NE(hDlg, nullptr) << GetLastError();
    }
    void TearDown() override { DestroyWindow(hDlg); }

    std::string Text(int id)
    {
        char text[128] = "";
        GetDlgItemTextA(hDlg, id, text, sizeof(text));
        return text;
    }
    LRESULT Slider(int id, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendDlgItemMessageA(hDlg, id, msg, w, l); }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(hDlg, id)) != FALSE; }
    bool Checked(int id) { return IsDlgButtonChecked(hDlg, id) == BST_CHECKED; }

    HWND hDlg = nullptr;
    EffectParameterSet set = {};
};

TEST_F(EffectPageControlsTest, EveryEffectShownAndReadAtBothEnds)
{
    CDialogPageControls page(hDlg);
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) {
        const EffectInfo& info = EffectInfoOf(kind);
        SCOPED_TRACE(info.title);
        ShowEffectPage(page, set, kind); // a zero record: below several minima
        EXPECT_EQ(Text(IDC_FX_PAGE_TITLE), "Parameters for [ " + std::string(info.title) + " ]");
        for (int32_t r = 0; r < kMaxParameterRows; ++r) {
            const int base = IDC_FX_ROW_FIRST + 5 * r;
            EXPECT_EQ(Slider(base + 2, TBM_GETRANGEMIN), kSliderBottom);
            EXPECT_EQ(Slider(base + 2, TBM_GETRANGEMAX), kSliderTop);
            if (r >= info.rowCount) {
                EXPECT_EQ(Text(base), "- - -");
                EXPECT_FALSE(Enabled(base + 2));
                continue;
            }
            const EffectParameterRow& row = info.rows[r];
            EXPECT_EQ(Text(base), row.name);
            EXPECT_EQ(Text(base + 1), FormatParameter(0.0f, row.format));
            EXPECT_EQ(Slider(base + 2, TBM_GETLINESIZE), SliderLineSize(row.min, row.max, row.step));
            // At or below the minimum the thumb sits at the left end, position 1.
            const int32_t expected = row.min >= 0.0f ? kSliderBottom : SliderPositionFor(0.0f, row.min, row.max);
            EXPECT_EQ(Slider(base + 2, TBM_GETPOS), expected);
            EXPECT_TRUE(Enabled(base + 2) && Enabled(base + 4));
        }
        EXPECT_EQ(Enabled(IDC_FX_WAVEFORM_GROUP), info.hasWaveform);
        EXPECT_EQ(Enabled(IDC_FX_PHASE_GROUP), info.hasPhase);

        for (int32_t position : {0, kSliderTop + 5}) { // the trackbar keeps both inside its range
            for (int32_t r = 0; r < info.rowCount; ++r) Slider(info.rows[r].base + 2, TBM_SETPOS, TRUE, position);
            ReadEffectPage(page, set, kind, nullptr);
            for (int32_t r = 0; r < info.rowCount; ++r) {
                const EffectParameterRow& row = info.rows[r];
                const float end = position == 0 ? row.min : row.max;
                EXPECT_EQ(RowValue(EffectRecord(set, kind), row), end) << row.name;
                EXPECT_EQ(Text(row.base + 1), FormatParameter(end, row.format));
            }
        }
        set = {};
    }
}

TEST_F(EffectPageControlsTest, RadioGroupsAreIndependent)
{
    CDialogPageControls page(hDlg);
    set.chorus.lPhase = 4;
    ShowEffectPage(page, set, kChorus);
    CheckRadioButton(hDlg, IDC_FX_ADJUST_FIRST, IDC_FX_ADJUST_LAST, IDC_FX_ADJUST_FIRST);
    SendDlgItemMessageA(hDlg, IDC_FX_PHASE_FIRST + 1, BM_CLICK, 0, 0);
    SendDlgItemMessageA(hDlg, IDC_FX_SINE, BM_CLICK, 0, 0);
    SendDlgItemMessageA(hDlg, IDC_FX_ADJUST_FIRST + kEcho, BM_CLICK, 0, 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Checked(IDC_FX_PHASE_FIRST + i), i == 1) << i;
    EXPECT_TRUE(Checked(IDC_FX_SINE) && !Checked(IDC_FX_TRIANGLE));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Checked(IDC_FX_ADJUST_FIRST + i), i == kEcho) << i;
    ReadEffectPage(page, set, kChorus, nullptr);
    EXPECT_EQ(set.chorus.lPhase, 1);
    EXPECT_EQ(set.chorus.lWaveform, 1);

    // Gargle on the real slider: 20.7 shows as such and stores 20.
    set.gargle = {20, 0};
    ShowEffectPage(page, set, kGargle);
    EXPECT_EQ(Text(IDC_FX_ROW_FIRST + 1), "20.0");
    EXPECT_TRUE(Checked(IDC_FX_TRIANGLE) && !Enabled(IDC_FX_SINE) && !Enabled(IDC_FX_PHASE_GROUP));
    Slider(IDC_FX_ROW_FIRST + 2, TBM_SETPOS, TRUE, SliderPositionFor(20.7f, 1.0f, 1000.0f));
    ReadEffectPage(page, set, kGargle, nullptr);
    EXPECT_EQ(Text(IDC_FX_ROW_FIRST + 1), "20.7");
    EXPECT_EQ(set.gargle.dwRateHz, 20u);
}

} // namespace
