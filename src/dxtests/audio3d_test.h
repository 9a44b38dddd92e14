// The 3D audio test's state and everything it does that needs no window:
// setting up DirectMusic with a 3D audio path, loading, playing and stopping
// the content file on it, handing the settings and the source's motion to
// DirectSound, and tearing it all down. The dialog (audio3d_dialog_win.cpp)
// reads its controls, calls these and shows the results.
//
// All on the thread that runs the dialog; one 3D test at a time.
#pragma once

#include <cstdint>

#include "dxtests/audio3d_calls.h"
#include "dxtests/audio3d_settings.h"
#include "dxtests/source_marker.h"
#include "dxtests/source_motion.h"

class CMusicEngine;
class CMusicSegment;

constexpr uint32_t kEnginePChannels = 128;
constexpr uint32_t kPath3DPChannels = 64;
constexpr uint32_t kPlayOnBeat = 0x1000; // DMUS_SEGF_BEAT

// LoadContentSegment's answers besides a download failure's code.
constexpr HResult kContentLoaded = 0;
constexpr HResult kContentNotLoaded = 1;

// Recreated at each opening of the dialog (Begin3DTest), released when it
// closes (Release3DAudio).
struct Test3DState {
    CMusicEngine* pEngine = nullptr;
    CMusicSegment* pSegment = nullptr; // the loaded content file, or null
    IDirectMusicAudioPath8* pAudioPath = nullptr;
    IDirectSound3DBuffer* pSource = nullptr; // the sound source's 3D control
    IDirectSound3DListener* pListener = nullptr;
    Ds3dListener listener = {}; // Doppler and rolloff written by the settings
    Ds3dBuffer source = {};     // distances by the settings, place by the motion
    bool bDefer = false;        // settings are handed over deferred
    SourceClock clock;
};

extern Test3DState g_Test3D;
// The timer moves the source; cleared only while the file-open dialog is up.
extern bool g_bSourceMotion;
// The cross on the grid picture and the colours under it.
extern SourceMarker g_SourceMarker;

// A fresh test state for a new dialog (a new picture without a cross).
void Begin3DTest();

// Engine on window with 128 channels and a stereo default path, a 3D audio
// path of 64 channels, its source (set head-relative) and its listener, with
// both records read. The first failure is returned; what was obtained before
// it stays until Release3DAudio.
HResult Init3DAudio(void* window);

// Replaces the segment by the file at path, downloaded to the 3D path:
// kContentLoaded, kContentNotLoaded when it cannot be made, or the download's
// failure. A file that fails leaves no segment behind.
HResult LoadContentSegment(const char* path);

// Plays the segment for ever on the 3D path, from the next beat. Without a
// segment nothing happens and the answer is S_FALSE.
HResult Play3DSegment();
// Stops the segment from the next beat; false when there is none.
bool Stop3DSegment();
// Stops the segment at once (a new file is about to be chosen).
void Stop3DSegmentNow();

// Hands the settings over: deferred while g_Test3D.bDefer is set, else at
// once. Results are ignored; values are not checked against each other.
void Apply3DSettings(float doppler, float rolloff, float minDistance, float maxDistance);
// Commits deferred settings (Apply Settings), when there is a listener.
void Commit3DSettings();

// The source's place, into its record and, at once, to DirectSound.
void SetSourcePosition(const Vector3& position, const Vector3& velocity);

// One tick of the motion, while g_bSourceMotion is set: the source's place
// for the millisecond counter's reading nowMs on the ellipse of the grid
// sliders, the cross moved there on the picture, the source told.
void MoveSourceAt(uint32_t nowMs, int gridX, int gridZ, PixelSurface& picture);

// Unloads and destroys the segment, releases the listener, the source and
// the audio path, destroys the engine.
void Release3DAudio();
