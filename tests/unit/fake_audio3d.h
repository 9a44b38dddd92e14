// A fake DirectSound 3D for the 3D test's tests, beside FakeDirectX (which
// must be made first): every call is written to FakeDirectX's log, every
// result can be set, and the fake keeps the last records and place handed
// to it. The 3D audio path is FakeDirectX's "given" path.
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

    Ds3dBuffer source{}; // the last record and place handed over
    int positions = 0;   // setSourcePosition calls

    static IDirectSound3DBuffer* Source();
    static IDirectSound3DListener* Listener();
    static FakeAudio3D* current;

private:
    DirectXCalls m_dx{};
    const DirectXCalls* m_previous = nullptr;
};
