// The DirectSound 3D calls of the 3D test, as a table of functions beside
// the DirectMusic seam of the wrappers (directx_calls.h): the standard 3D
// audio path, its sound buffer's 3D control (the source) and its primary
// buffer's listener, with their parameter records. The interfaces are the
// platform's types, declared here only; a test hands out its own addresses.
//
// Bindings: the platform's (audio3d_calls_win.cpp) and any table a test
// builds. Until one is selected, every call fails with E_FAIL.
#pragma once

#include <cstdint>

#include "dxtests/directx_calls.h"

struct IDirectSound3DBuffer;
struct IDirectSound3DListener;

constexpr uint32_t kPathDynamic3D = 6;     // DMUS_APATH_DYNAMIC_3D
constexpr uint32_t kPathDynamicStereo = 8; // DMUS_APATH_DYNAMIC_STEREO
constexpr uint32_t kApplyImmediate = 0;    // DS3D_IMMEDIATE
constexpr uint32_t kApplyDeferred = 1;     // DS3D_DEFERRED
constexpr uint32_t kModeHeadRelative = 1;  // DS3DMODE_HEADRELATIVE

// D3DVECTOR, DS3DBUFFER and DS3DLISTENER: the platform's records, their
// field names and layout (both 64 bytes).
struct Ds3dVector {
    float x, y, z;
};

struct Ds3dBuffer {
    uint32_t dwSize;
    Ds3dVector vPosition;
    Ds3dVector vVelocity;
    uint32_t dwInsideConeAngle;
    uint32_t dwOutsideConeAngle;
    Ds3dVector vConeOrientation;
    int32_t lConeOutsideVolume;
    float flMinDistance;
    float flMaxDistance;
    uint32_t dwMode;
};
static_assert(sizeof(Ds3dBuffer) == 64, "DS3DBUFFER is 64 bytes");

struct Ds3dListener {
    uint32_t dwSize;
    Ds3dVector vPosition;
    Ds3dVector vVelocity;
    Ds3dVector vOrientFront;
    Ds3dVector vOrientTop;
    float flDistanceFactor;
    float flRolloffFactor;
    float flDopplerFactor;
};
static_assert(sizeof(Ds3dListener) == 64, "DS3DLISTENER is 64 bytes");

struct Audio3DCalls {
    // IDirectMusicPerformance8::CreateStandardAudioPath(type, pchannels, activate TRUE).
    HResult (*createStandardAudioPath)(IDirectMusicPerformance8* performance, uint32_t pathType, uint32_t pchannels,
                                       IDirectMusicAudioPath8** path);
    // IDirectMusicAudioPath::GetObjectInPath of performance channel 0, buffer 0,
    // index 0: the 3D control of the path's buffer (stage DMUS_PATH_BUFFER), and
    // the listener of its primary buffer (stage DMUS_PATH_PRIMARY_BUFFER).
    HResult (*getSourceBuffer)(IDirectMusicAudioPath8* path, IDirectSound3DBuffer** source);
    HResult (*getListener)(IDirectMusicAudioPath8* path, IDirectSound3DListener** listener);

    HResult (*getSourceParameters)(IDirectSound3DBuffer* source, Ds3dBuffer* record);
    HResult (*setSourceParameters)(IDirectSound3DBuffer* source, const Ds3dBuffer* record, uint32_t apply);
    HResult (*setSourcePosition)(IDirectSound3DBuffer* source, float x, float y, float z, uint32_t apply);
    HResult (*setSourceVelocity)(IDirectSound3DBuffer* source, float x, float y, float z, uint32_t apply);

    HResult (*getListenerParameters)(IDirectSound3DListener* listener, Ds3dListener* record);
    HResult (*setListenerParameters)(IDirectSound3DListener* listener, const Ds3dListener* record, uint32_t apply);
    HResult (*commitDeferredSettings)(IDirectSound3DListener* listener);
};

void SetAudio3DCalls(const Audio3DCalls* calls);
const Audio3DCalls& GetAudio3DCalls();
