// CMusicEngine: the thread's COM initialisation and the two DirectMusic
// objects every playing test needs, a loader and a performance.
//
// Life: constructed (COM initialised, no objects) -> Initialize (both exist)
// -> used by one dialog -> destroyed after the dialog's segment, audio paths
// and 3D objects. The destructor releases the loader, stops and closes the
// performance, releases it, and balances COM.
#pragma once

#include "dxtests/directx_calls.h"
#include "dxtests/music_segment.h"

#include <cstdint>

class CMusicEngine {
public:
    static constexpr uint32_t kAudioAll = 0x3F; // DMUS_AUDIOF_ALL

    CMusicEngine();
    ~CMusicEngine();
    CMusicEngine(const CMusicEngine&) = delete;
    CMusicEngine& operator=(const CMusicEngine&) = delete;

    // Creates the loader and the performance and starts the performance's
    // audio on window with a default path of pathType. The first failure is
    // returned unchanged (DSERR_NODRIVER when there is no sound driver).
    HResult Initialize(void* window, uint32_t pchannels, uint32_t pathType);
    HResult SetSearchDirectory(const char* folder);
    void CollectGarbage();
    // One reference for the caller to release, or null.
    IDirectMusicAudioPath8* GetDefaultAudioPath();

    // Loads path as a segment, sets the MIDI parameter when isMidi and
    // downloads it to its own path (else the performance) when download.
    // A MIDI file whose structure is broken is refused before the loader
    // sees it. A segment made here belongs to the caller, even when a later
    // step fails; out is not written when loading fails.
    HResult CreateSegmentFromFile(CMusicSegment** out, const char* path, bool download, bool isMidi);

    bool comInitialized;
    IDirectMusicLoader8* loader;
    IDirectMusicPerformance8* performance;
};

// Whether a path names a MIDI file for the MIDI parameter: it contains
// ".mid" or ".rmi" anywhere, case-sensitively (".MID" does not count).
bool IsMidiPath(const char* path);
