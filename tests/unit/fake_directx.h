// A fake DirectX platform for the wrappers' tests: every call is written to
// a log as one line, every result can be set, and the "interfaces" are
// addresses of plain tags, never called, counted while they are held.
#pragma once

#include "dxtests/directx_calls.h"

#include <map>
#include <string>
#include <vector>

struct FakeDevice {
    bool isDefault = false; // the platform's entry without a GUID
    std::string description;
    std::string module = "fake.drv";
    bool creatable = true;
    DsCaps caps{};
};

class FakeDirectX {
public:
    // Selects the fake; the destructor selects nothing again.
    FakeDirectX();
    ~FakeDirectX();

    // Result of a call by its log name ("loadSegment", "download", ...); S_OK otherwise.
    std::map<std::string, HResult> results;
    std::vector<FakeDevice> devices;
    std::vector<std::string> log;
    bool hasPathConfig = false;      // the loaded file carries an audio path configuration
    int devicesOffered = 0;          // how many devices the enumeration handed over
    std::map<const void*, int> held; // objects handed out less those released

    // The objects held, or released more often than obtained: "name count; ...".
    std::string Held() const;
    // A successful call handed out tag.
    static void Obtained(const void* tag);

    // Tags that stand for the platform's objects.
    static IDirectMusicLoader8* Loader();
    static IDirectMusicPerformance8* Performance();
    static IDirectMusicSegment8* Segment();
    static IDirectMusicAudioPath8* GivenPath();
    // The tag's name in the log ("performance", "embedded", ...).
    static std::string Name(const void* tag);

    std::string Joined() const; // the log as one text, lines separated by "; "
    // Writes a call to the log and answers its result.
    HResult Call(const char* name, const std::string& args = "");
};

// A call's answer that hands out an object: tag when it succeeds, null otherwise.
template <class T>
HResult Handed(HResult hr, T** out, T* tag)
{
    *out = Succeeded(hr) ? tag : nullptr;
    if (*out) FakeDirectX::Obtained(tag);
    return hr;
}
