// A fake DirectSound 3D for the 3D test's tests, beside FakeDirectX (which
// must be made first): every call is written to FakeDirectX's log, every
// result can be set, and the fake keeps what a real listener and source
// would be playing with, deferred settings held back until they are
// committed. The 3D audio path is FakeDirectX's "given" path.
#pragma once

#include "dxtests/audio3d_calls.h"
#include "fake_directx.h"

#include <map>
#include <string>

class FakeAudio3D {
public:
    // Selects the fake 3D calls and names its objects in FakeDirectX's log.
    FakeAudio3D();
    ~FakeAudio3D();

    std::map<std::string, HResult> results; // by log name; S_OK otherwise
    Ds3dBuffer sourceStart{};               // what the source reports first
    Ds3dListener listenerStart{};

    // In force: what the sound is made with.
    Ds3dBuffer source{};
    Ds3dListener listener{};
    // Handed over deferred, waiting for a commit.
    Ds3dBuffer pendingSource{};
    Ds3dListener pendingListener{};
    bool sourcePending = false, listenerPending = false;
    int positions = 0; // setSourcePosition calls

    static IDirectSound3DBuffer* Source();
    static IDirectSound3DListener* Listener();
    static FakeAudio3D* current;

private:
    DirectXCalls m_dx{};
    const DirectXCalls* m_previous = nullptr;
};
