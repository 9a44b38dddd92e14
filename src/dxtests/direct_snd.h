// CDirectSnd: the DirectSound output devices of the machine, each with its
// identity and the capability record it reports.
//
// The platform's entry for the system default device (no GUID) is skipped,
// so the table lists the real devices only, at most six, in the order the
// platform reports them. A device that DirectSound cannot create is still
// listed, with an all-zero record.
#pragma once

#include "dxtests/directx_calls.h"

#include <cstdint>

struct DSDeviceEntry {
    DsGuid guid;
    char description[100]; // at most 99 characters, always terminated
    char module[100];      // at most 99 characters, always terminated
    DsCaps caps;           // all zero when the device cannot be opened
};

class CDirectSnd {
public:
    static constexpr int kMaxDevices = 6;
    static constexpr uint32_t kCooperativeNormal = 1; // DSSCL_NORMAL

    // window: the window that each device is opened for (cooperative level).
    explicit CDirectSnd(void* window);
    virtual ~CDirectSnd();
    CDirectSnd(const CDirectSnd&) = delete;
    CDirectSnd& operator=(const CDirectSnd&) = delete;

    // Refills the table from an empty one. Returns the number of devices
    // stored (0..6), or -1 when the platform's enumeration fails.
    int32_t EnumerateDevices();

    DSDeviceEntry devices[kMaxDevices];
    int32_t count;

private:
    static bool OnDevice(const DsGuid* guid, const char* description, const char* module, void* context);

    void* m_window;
};
