// The DirectX seam: the DirectSound and DirectMusic calls that CDirectSnd,
// CMusicEngine and CMusicSegment make, as a table of functions, so that their
// logic (device table, segment state, choice of audio path, early result
// codes) is portable and can be driven by fake objects in tests.
//
// The interfaces are named by the platform's own types, declared here only:
// the wrappers pass the pointers through and never call them, so the
// Windows dialogs read CMusicEngine::loader and ::performance as the real
// COM interfaces, while a test hands out addresses of its own objects.
//
// Bindings: the platform's (directx_calls_win.cpp, COM, DirectSound and
// DirectMusic) and any table a test builds. Until one is selected,
// GetDirectXCalls answers with a table whose every call fails with E_FAIL
// and whose enumeration lists no device.
#pragma once

#include <cstdint>

struct IDirectSound;
struct IDirectMusicLoader8;
struct IDirectMusicPerformance8;
struct IDirectMusicSegment8;
struct IDirectMusicAudioPath;
typedef struct IDirectMusicAudioPath IDirectMusicAudioPath8;

using HResult = int32_t;

// The platform's result codes that the wrappers produce or compare with.
constexpr HResult kSOk = 0;
constexpr HResult kSFalse = 1;
constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
constexpr HResult kEUnexpected = static_cast<HResult>(0x8000FFFFu);
constexpr HResult kEOutOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult kEPointer = static_cast<HResult>(0x80004003u);
constexpr HResult kCoENotInitialized = static_cast<HResult>(0x800401F0u);
// DMUS_E_UNSUPPORTED_STREAM: the loader's answer to a file it cannot read.
constexpr HResult kDmusEUnsupportedStream = static_cast<HResult>(0x88781150u);

inline bool Succeeded(HResult hr) { return hr >= 0; }

// The platform's GUID, byte for byte.
struct DsGuid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

// DirectSound's capability record (DSCAPS), its field names and layout.
struct DsCaps {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwMinSecondarySampleRate;
    uint32_t dwMaxSecondarySampleRate;
    uint32_t dwPrimaryBuffers;
    uint32_t dwMaxHwMixingAllBuffers;
    uint32_t dwMaxHwMixingStaticBuffers;
    uint32_t dwMaxHwMixingStreamingBuffers;
    uint32_t dwFreeHwMixingAllBuffers;
    uint32_t dwFreeHwMixingStaticBuffers;
    uint32_t dwFreeHwMixingStreamingBuffers;
    uint32_t dwMaxHw3DAllBuffers;
    uint32_t dwMaxHw3DStaticBuffers;
    uint32_t dwMaxHw3DStreamingBuffers;
    uint32_t dwFreeHw3DAllBuffers;
    uint32_t dwFreeHw3DStaticBuffers;
    uint32_t dwFreeHw3DStreamingBuffers;
    uint32_t dwTotalHwMemBytes;
    uint32_t dwFreeHwMemBytes;
    uint32_t dwMaxContigFreeHwMemBytes;
    uint32_t dwUnlockTransferRateHwBuffers;
    uint32_t dwPlayCpuOverheadSwBuffers;
    uint32_t dwReserved1;
    uint32_t dwReserved2;
};
static_assert(sizeof(DsCaps) == 96, "DSCAPS is 96 bytes");

// One device reported by the enumeration; guid is null for the system's
// default entry. Returns true to go on, false to stop.
using DsEnumCallback = bool (*)(const DsGuid* guid, const char* description, const char* module, void* context);

struct DirectXCalls {
    // COM for the calling thread.
    HResult (*coInitialize)();
    void (*coUninitialize)();
    // Every interface is released through IUnknown::Release.
    void (*release)(void* unknown);

    // DirectSound.
    HResult (*enumerateDevices)(DsEnumCallback callback, void* context);
    HResult (*createDevice)(const DsGuid* guid, IDirectSound** device);
    HResult (*setCooperativeLevel)(IDirectSound* device, void* window, uint32_t level);
    HResult (*getCaps)(IDirectSound* device, DsCaps* caps);

    // The DirectMusic loader (texts are ANSI; the binding converts them).
    HResult (*createLoader)(IDirectMusicLoader8** loader);
    HResult (*setSearchDirectory)(IDirectMusicLoader8* loader, const char* folder);
    HResult (*loadSegment)(IDirectMusicLoader8* loader, const char* path, IDirectMusicSegment8** segment);
    void (*collectGarbage)(IDirectMusicLoader8* loader);
    HResult (*releaseObject)(IDirectMusicLoader8* loader, IDirectMusicSegment8* segment);

    // The DirectMusic performance.
    HResult (*createPerformance)(IDirectMusicPerformance8** performance);
    HResult (*initAudio)(IDirectMusicPerformance8* performance, void* window, uint32_t pathType, uint32_t pchannels,
                         uint32_t flags);
    HResult (*getDefaultAudioPath)(IDirectMusicPerformance8* performance, IDirectMusicAudioPath8** path);
    HResult (*createAudioPath)(IDirectMusicPerformance8* performance, void* config, IDirectMusicAudioPath8** path);
    HResult (*playSegment)(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment, uint32_t flags,
                           IDirectMusicAudioPath8* path);
    // A null segment stops everything the performance plays.
    HResult (*stop)(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment, uint32_t flags);
    HResult (*closeDown)(IDirectMusicPerformance8* performance);

    // A segment. Download and unload take the performance or an audio path
    // as their target (both are IUnknown).
    HResult (*getAudioPathConfig)(IDirectMusicSegment8* segment, void** config);
    HResult (*setMidiParam)(IDirectMusicSegment8* segment);
    HResult (*download)(IDirectMusicSegment8* segment, void* target);
    HResult (*unload)(IDirectMusicSegment8* segment, void* target);
    HResult (*setRepeats)(IDirectMusicSegment8* segment, uint32_t repeats);
};

void SetDirectXCalls(const DirectXCalls* calls);
const DirectXCalls& GetDirectXCalls();
