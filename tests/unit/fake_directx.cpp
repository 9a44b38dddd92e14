#include "fake_directx.h"

namespace {

FakeDirectX* g_fake = nullptr;
int g_lastCreated = -1; // the device whose capabilities getCaps reports
// The objects' tags, in the order of kNames.
char s_tags[7];
const char* const kNames[] = {"loader", "performance", "segment", "embedded", "given", "config", "device"};

template <class T = void>
T* Tag(int i)
{
    return reinterpret_cast<T*>(&s_tags[i]);
}

HResult Log(const char* call, const std::string& args = "") { return g_fake->Call(call, args); }
std::string N(const void* tag) { return FakeDirectX::Name(tag); }
std::string S(uint32_t n) { return std::to_string(n); }

HResult Enumerate(DsEnumCallback callback, void* context)
{
    HResult hr = Log("enumerateDevices");
    for (size_t i = 0; Succeeded(hr) && i < g_fake->devices.size(); ++i) {
        const FakeDevice& d = g_fake->devices[i];
        const DsGuid guid{uint32_t(i), 0xD5, 0, {}};
        ++g_fake->devicesOffered;
        if (!callback(d.isDefault ? nullptr : &guid, d.description.c_str(), d.module.c_str(), context)) break;
    }
    return hr;
}

HResult CreateDevice(const DsGuid* guid, IDirectSound** device)
{
    g_lastCreated = int(guid->Data1);
    Log("createDevice", S(guid->Data1));
    return Handed(g_fake->devices.at(guid->Data1).creatable ? kSOk : kEFail, device, Tag<IDirectSound>(6));
}

HResult GetCaps(IDirectSound*, DsCaps* caps)
{
    const uint32_t size = caps->dwSize; // the platform answers in the caller's record
    HResult hr = Log("getCaps", S(size));
    *caps = g_fake->devices.at(g_lastCreated).caps;
    caps->dwSize = size;
    if (!Succeeded(hr)) caps->dwFlags = 0xDEAD; // what a failed query leaves behind
    return hr;
}

HResult Config(IDirectMusicSegment8*, void** config)
{
    HResult hr = Log("getAudioPathConfig");
    *config = g_fake->hasPathConfig ? Tag(5) : nullptr;
    if (*config) FakeDirectX::Obtained(*config);
    return g_fake->hasPathConfig ? hr : static_cast<HResult>(0x88781161u); // DMUS_E_NOT_FOUND
}

const DirectXCalls kFake = {
    [] { return Log("coInitialize"); },
    [] { Log("coUninitialize"); },
    [](void* p) { --g_fake->held[p], Log("release", N(p)); },
    Enumerate,
    CreateDevice,
    [](IDirectSound*, void*, uint32_t level) { return Log("setCooperativeLevel", S(level)); },
    GetCaps,
    [](IDirectMusicLoader8** l) { return Handed(Log("createLoader"), l, FakeDirectX::Loader()); },
    [](IDirectMusicLoader8*, const char* folder) { return Log("setSearchDirectory", folder); },
    [](IDirectMusicLoader8*, const char* path, IDirectMusicSegment8** s) {
        return Handed(Log("loadSegment", path), s, FakeDirectX::Segment());
    },
    [](IDirectMusicLoader8*) { Log("collectGarbage"); },
    [](IDirectMusicLoader8*, IDirectMusicSegment8* s) { return Log("releaseObject", N(s)); },
    [](IDirectMusicPerformance8** p) { return Handed(Log("createPerformance"), p, FakeDirectX::Performance()); },
    [](IDirectMusicPerformance8*, void*, uint32_t type, uint32_t pchannels, uint32_t flags) {
        return Log("initAudio", S(type) + "," + S(pchannels) + "," + S(flags));
    },
    [](IDirectMusicPerformance8*, IDirectMusicAudioPath8** p) {
        return Handed(Log("getDefaultAudioPath"), p, FakeDirectX::GivenPath());
    },
    [](IDirectMusicPerformance8*, void* config, IDirectMusicAudioPath8** p) {
        return Handed(Log("createAudioPath", N(config)), p, Tag<IDirectMusicAudioPath8>(3));
    },
    [](IDirectMusicPerformance8*, IDirectMusicSegment8*, uint32_t flags, IDirectMusicAudioPath8* path) {
        return Log("playSegment", S(flags) + "," + N(path));
    },
    [](IDirectMusicPerformance8*, IDirectMusicSegment8* s, uint32_t flags) {
        return Log("stop", N(s) + "," + S(flags));
    },
    [](IDirectMusicPerformance8*) { return Log("closeDown"); },
    Config,
    [](IDirectMusicSegment8*) { return Log("setMidiParam"); },
    [](IDirectMusicSegment8*, void* target) { return Log("download", N(target)); },
    [](IDirectMusicSegment8*, void* target) { return Log("unload", N(target)); },
    [](IDirectMusicSegment8*, uint32_t n) { return Log("setRepeats", S(n)); },
};

} // namespace

FakeDirectX::FakeDirectX()
{
    g_fake = this;
    SetDirectXCalls(&kFake);
}

FakeDirectX::~FakeDirectX()
{
    SetDirectXCalls(nullptr);
    g_fake = nullptr;
}

IDirectMusicLoader8* FakeDirectX::Loader() { return Tag<IDirectMusicLoader8>(0); }
IDirectMusicPerformance8* FakeDirectX::Performance() { return Tag<IDirectMusicPerformance8>(1); }
IDirectMusicSegment8* FakeDirectX::Segment() { return Tag<IDirectMusicSegment8>(2); }
IDirectMusicAudioPath8* FakeDirectX::GivenPath() { return Tag<IDirectMusicAudioPath8>(4); }

std::string FakeDirectX::Name(const void* tag)
{
    for (int i = 0; i < 7; ++i)
        if (tag == &s_tags[i]) return kNames[i];
    return tag ? "?" : "null";
}

HResult FakeDirectX::Call(const char* name, const std::string& args)
{
    log.push_back(std::string(name) + (args.empty() ? "" : "(" + args + ")"));
    auto it = results.find(name);
    return it == results.end() ? kSOk : it->second;
}

std::string FakeDirectX::Joined() const
{
    std::string all;
    for (const std::string& line : log) all += (all.empty() ? "" : "; ") + line;
    return all;
}

void FakeDirectX::Obtained(const void* tag) { ++g_fake->held[tag]; }

std::string FakeDirectX::Held() const
{
    std::string all;
    for (const auto& [tag, count] : held)
        if (count) all += (all.empty() ? "" : "; ") + Name(tag) + " " + std::to_string(count);
    return all;
}
