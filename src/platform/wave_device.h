// The wave device seam: the winmm operations the device wrapper (CWave) uses,
// as a table of functions with winmm's shapes, and portable copies of the
// records they exchange.
//
// Bindings:
// - the simulated device (sim_wave_device.h), portable, for tests and fault
//   injection on every platform;
// - winmm, for the Windows program; the Win32 start-up selects it with
//   SetWaveDeviceTable before any device is used.
// Until a table is selected, GetWaveDeviceTable answers with a table that has
// no device at all.
//
// The records keep winmm's field names and layout, so that the winmm binding
// can hand a WaveHeader to the system as a WAVEHDR (the driver keeps the
// header's address while the block is queued and writes its flags) and copy
// the format and capability records field by field.
//
// Header flags are written by the device's thread while the program reads
// them on its own; both sides go through LoadHeaderFlags / StoreHeaderFlags.
#pragma once

#include <cstddef>
#include <cstdint>

// Result codes (winmm's values). 0 is success.
constexpr uint32_t kWaveOk = 0;
constexpr uint32_t kWaveErrBadDeviceId = 2;
constexpr uint32_t kWaveErrAllocated = 4;
constexpr uint32_t kWaveErrInvalidHandle = 5;
constexpr uint32_t kWaveErrNoDriver = 6;
constexpr uint32_t kWaveErrNoMemory = 7;
constexpr uint32_t kWaveErrInvalidParam = 11;
constexpr uint32_t kWaveErrBadFormat = 32;    // the device does not support the format
constexpr uint32_t kWaveErrStillPlaying = 33; // a header is still queued
constexpr uint32_t kWaveErrUnprepared = 34;   // a header was queued before it was prepared

// The device id that selects the system's default device.
constexpr uint32_t kWaveMapperId = 0xFFFFFFFFu;

// Open flags (winmm's WAVE_FORMAT_QUERY and WAVE_FORMAT_DIRECT). With the
// query flag, open only answers whether the format is supported; it opens
// nothing and needs no handle or callback.
constexpr uint32_t kWaveOpenQuery = 0x1;
constexpr uint32_t kWaveOpenDirect = 0x8;

// Completion callback messages.
constexpr uint32_t kWaveOutOpened = 0x3BB; // WOM_OPEN
constexpr uint32_t kWaveOutClosed = 0x3BC; // WOM_CLOSE
constexpr uint32_t kWaveOutDone = 0x3BD;   // WOM_DONE: a block has been played
constexpr uint32_t kWaveInOpened = 0x3BE;  // WIM_OPEN
constexpr uint32_t kWaveInClosed = 0x3BF;  // WIM_CLOSE
constexpr uint32_t kWaveInData = 0x3C0;    // WIM_DATA: a block has been filled

// Header flags.
constexpr uint32_t kHeaderDone = 0x01;
constexpr uint32_t kHeaderPrepared = 0x02;
constexpr uint32_t kHeaderInQueue = 0x10;

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr uint16_t kExtensibleExtraBytes = 22;

#pragma pack(push, 1)
struct WaveFormatEx {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize; // bytes of extension that follow
};

struct WaveGuid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

struct WaveFormatExtensible {
    WaveFormatEx Format; // first, so &Format stands for the whole record
    uint16_t wValidBitsPerSample;
    uint32_t dwChannelMask;
    WaveGuid SubFormat;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormatEx) == 18, "WAVEFORMATEX is 18 bytes");
static_assert(sizeof(WaveFormatExtensible) == 40, "WAVEFORMATEXTENSIBLE is 40 bytes");

// 00000001-0000-0010-8000-00aa00389b71
constexpr WaveGuid kPcmSubFormat = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
bool SameGuid(const WaveGuid& a, const WaveGuid& b);

// dwBytesRecorded of a done block tells how much of it the device really
// handled: input, the bytes recorded into it (winmm's own meaning); output,
// the bytes played from it, which the bindings fill in. Both are the whole
// block for a block that finished normally, and less (0 for one never
// started) for a block that a reset handed back.
struct WaveHeader {
    char* lpData;
    uint32_t dwBufferLength;
    uint32_t dwBytesRecorded;
    uintptr_t dwUser;
    uint32_t dwFlags; // kHeader* bits; use LoadHeaderFlags / StoreHeaderFlags
    uint32_t dwLoops;
    WaveHeader* lpNext;
    uintptr_t reserved;
};
static_assert(offsetof(WaveHeader, dwUser) == 2 * sizeof(void*), "WAVEHDR layout");
static_assert(sizeof(WaveHeader) == 4 * sizeof(void*) + 16, "WAVEHDR layout");

// The flags word is shared between the program and the device's thread.
// (GCC builtins: both of our compilers are GCC, and the word stays a plain
// DWORD in the record the system sees.)
inline uint32_t LoadHeaderFlags(const WaveHeader& h) { return __atomic_load_n(&h.dwFlags, __ATOMIC_ACQUIRE); }
inline void StoreHeaderFlags(WaveHeader& h, uint32_t flags) { __atomic_store_n(&h.dwFlags, flags, __ATOMIC_RELEASE); }

constexpr int kDeviceNameChars = 32; // MAXPNAMELEN

struct WaveInCaps {
    uint16_t wMid; // manufacturer id
    uint16_t wPid; // product id
    uint32_t vDriverVersion;
    char szPname[kDeviceNameChars];
    uint32_t dwFormats; // basic format bits, 0x1 .. 0x800
    uint16_t wChannels;
    uint16_t wReserved1;
};

struct WaveOutCaps {
    uint16_t wMid;
    uint16_t wPid;
    uint32_t vDriverVersion;
    char szPname[kDeviceNameChars];
    uint32_t dwFormats;
    uint16_t wChannels;
    uint16_t wReserved1;
    uint32_t dwSupport; // 0x1 pitch, 0x2 rate, 0x4 volume, 0x8 L/R volume, 0x10 sync, 0x20 sample-accurate
};

struct AuxCaps {
    uint16_t wMid;
    uint16_t wPid;
    uint32_t vDriverVersion;
    char szPname[kDeviceNameChars];
    uint16_t wTechnology;
    uint16_t wReserved1;
    uint32_t dwSupport; // 0x4 volume, 0x8 L/R volume
};

struct WaveDeviceObject;
using WaveHandle = WaveDeviceObject*;

// Called by the device for every message of an open device: the open and
// close notices and one done message per finished block, in completion order.
// context is the word given to open; header is null for open and close.
using WaveCallback = void (*)(WaveHandle device, uint32_t message, uintptr_t context, WaveHeader* header);

struct WaveDeviceTable {
    uint32_t (*inGetNumDevs)();
    uint32_t (*inGetDevCaps)(uint32_t deviceId, WaveInCaps* caps);
    // flags: 0 to open, or kWaveOpenQuery (with kWaveOpenDirect) to ask only.
    uint32_t (*inOpen)(WaveHandle* device, uint32_t deviceId, const WaveFormatEx* format, WaveCallback callback,
                       uintptr_t context, uint32_t flags);
    uint32_t (*inPrepareHeader)(WaveHandle device, WaveHeader* header);
    uint32_t (*inUnprepareHeader)(WaveHandle device, WaveHeader* header);
    uint32_t (*inAddBuffer)(WaveHandle device, WaveHeader* header);
    uint32_t (*inStart)(WaveHandle device);
    // Every queued block comes back as done, with what it recorded so far.
    uint32_t (*inReset)(WaveHandle device);
    uint32_t (*inClose)(WaveHandle device);

    uint32_t (*outGetNumDevs)();
    uint32_t (*outGetDevCaps)(uint32_t deviceId, WaveOutCaps* caps);
    uint32_t (*outOpen)(WaveHandle* device, uint32_t deviceId, const WaveFormatEx* format, WaveCallback callback,
                        uintptr_t context, uint32_t flags);
    uint32_t (*outPrepareHeader)(WaveHandle device, WaveHeader* header);
    uint32_t (*outUnprepareHeader)(WaveHandle device, WaveHeader* header);
    uint32_t (*outWrite)(WaveHandle device, WaveHeader* header);
    uint32_t (*outPause)(WaveHandle device);
    uint32_t (*outRestart)(WaveHandle device);
    // Every queued block comes back as done, with what of it was played.
    uint32_t (*outReset)(WaveHandle device);
    uint32_t (*outClose)(WaveHandle device);

    uint32_t (*auxGetNumDevs)();
    uint32_t (*auxGetDevCaps)(uint32_t deviceId, AuxCaps* caps);
};

// The table in use. Selecting one while a device is open is not allowed.
void SetWaveDeviceTable(const WaveDeviceTable* table); // null: back to no device
const WaveDeviceTable* GetWaveDeviceTable();

// A table with no device: counts 0, every query and open kWaveErrBadDeviceId.
const WaveDeviceTable* NoWaveDeviceTable();
