// The main window on the simulated wave device, stepped: a test completes
// each block itself. Every test ends with no session under way and no
// device open.
#pragma once

#include <string>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "devices/device_lists.h"
#include "main_window_fixture.h"
#include "platform/sim_wave_device.h"

constexpr int kBlock = 512; // bytes per block at the start-up format, 8-bit mono 11025 Hz

// The longest a session may take to end, or the window to handle a report,
// however loaded the machine; every wait ends as soon as it can.
constexpr DWORD kDeadlineMs = 10000;

class SimWindowFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        UseSimulator();
    }
    void TearDown() override
    {
        StopAll(hWnd);
        EXPECT_TRUE(WaitIdle()) << "a session outlived Stop";
        MainWindowFixture::TearDown();
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
    }
    static void UseSimulator()
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
        ChooseDefaultDevices(); // the ids the start-up chose on winmm's lists mean nothing here
    }
    static bool WaitIdle()
    {
        return PumpUntil([] { return !CaptureSessionActive() && !PlaybackSessionActive(); }, kDeadlineMs);
    }
    bool FormatControlsEnabled() const
    {
        for (int id : {IDC_RATE, IDC_CHANNELS, IDC_RESOLUTION, IDC_BUFFER_SIZE})
            if (!IsWindowEnabled(GetDlgItem(hWnd, id))) return false;
        return true;
    }
};

// A caught box as one line: "caption [icon] text".
inline std::string Shown(const CaughtBox& box) { return box.caption + " [" + box.icon + "] " + box.text; }
