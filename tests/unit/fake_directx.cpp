#include "fake_directx.h"

#include <cstring>

FakeDirectX* FakeDirectX::current = nullptr;

namespace {

char s_tags[7];

FakeDirectX& F() { return *FakeDirectX::current; }

HResult Result(const char* call)
{
    auto it = F().results.find(call);
    return it == F().results.end() ? kSOk : it->second;
}

HResult Log(const char* call, const std::string& args = "")
{
    F().log.push_back(std::string(call) + (args.empty() ? "" : "(" + args + ")"));
    return Result(call);
}

std::string N(const void* tag) { return FakeDirectX::Name(tag); }

HResult CoInit() { return Log("coInitialize"); }
void CoUninit() { Log("coUninitialize"); }
void Release(void* p) { Log("release", N(p)); }

HResult Enumerate(DsEnumCallback callback, void* context)
{
    HResult hr = Log("enumerateDevices");
    if (!Succeeded(hr)) return hr;
    for (size_t i = 0; i < F().devices.size(); ++i) {
        const FakeDevice& d = F().devices[i];
        DsGuid guid = FakeGuid(int(i));
        ++F().devicesOffered;
        if (!callback(d.isDefault ? nullptr : &guid, d.description.c_str(), d.module.c_str(), context)) break;
    }
    return hr;
}

HResult CreateDevice(const DsGuid* guid, IDirectSound** device)
{
    const FakeDevice& d = F().devices.at(guid->Data1);
    Log("createDevice", std::to_string(guid->Data1));
    F().lastCreated = int(guid->Data1);
    *device = d.creatable ? FakeDirectX::Device() : nullptr;
    return d.creatable ? kSOk : kEFail;
}

HResult Cooperate(IDirectSound*, void*, uint32_t level) { return Log("setCooperativeLevel", std::to_string(level)); }

HResult GetCaps(IDirectSound*, DsCaps* caps)
{
    HResult hr = Log("getCaps", std::to_string(caps->dwSize));
    const uint32_t size = caps->dwSize; // the platform answers in the caller's record
    *caps = F().devices.at(F().lastCreated).caps;
    caps->dwSize = size;
    if (!Succeeded(hr)) caps->dwFlags = 0xDEAD; // what a failed query leaves behind
    return hr;
}

HResult CreateLoader(IDirectMusicLoader8** loader)
{
    HResult hr = Log("createLoader");
    *loader = Succeeded(hr) ? FakeDirectX::Loader() : nullptr;
    return hr;
}
HResult Search(IDirectMusicLoader8*, const char* folder) { return Log("setSearchDirectory", folder); }
HResult Load(IDirectMusicLoader8*, const char* path, IDirectMusicSegment8** segment)
{
    HResult hr = Log("loadSegment", path);
    *segment = Succeeded(hr) ? FakeDirectX::Segment() : nullptr;
    return hr;
}
void Garbage(IDirectMusicLoader8*) { Log("collectGarbage"); }
HResult Forget(IDirectMusicLoader8*, IDirectMusicSegment8* s) { return Log("releaseObject", N(s)); }
HResult CreatePerformance(IDirectMusicPerformance8** p)
{
    HResult hr = Log("createPerformance");
    *p = Succeeded(hr) ? FakeDirectX::Performance() : nullptr;
    return hr;
}
HResult InitAudio(IDirectMusicPerformance8*, void*, uint32_t type, uint32_t pchannels, uint32_t flags)
{
    return Log("initAudio", std::to_string(type) + "," + std::to_string(pchannels) + "," + std::to_string(flags));
}
HResult DefaultPath(IDirectMusicPerformance8*, IDirectMusicAudioPath8** path)
{
    HResult hr = Log("getDefaultAudioPath");
    *path = Succeeded(hr) ? FakeDirectX::GivenPath() : nullptr;
    return hr;
}
HResult CreatePath(IDirectMusicPerformance8*, void* config, IDirectMusicAudioPath8** path)
{
    HResult hr = Log("createAudioPath", N(config));
    *path = Succeeded(hr) ? FakeDirectX::EmbeddedPath() : nullptr;
    return hr;
}
HResult Play(IDirectMusicPerformance8*, IDirectMusicSegment8*, uint32_t flags, IDirectMusicAudioPath8* path)
{
    return Log("playSegment", std::to_string(flags) + "," + N(path));
}
HResult Stop(IDirectMusicPerformance8*, IDirectMusicSegment8* s, uint32_t flags)
{
    return Log("stop", N(s) + "," + std::to_string(flags));
}
HResult CloseDown(IDirectMusicPerformance8*) { return Log("closeDown"); }
HResult Config(IDirectMusicSegment8*, void** config)
{
    HResult hr = Log("getAudioPathConfig");
    *config = F().hasPathConfig ? FakeDirectX::Config() : nullptr;
    return F().hasPathConfig ? hr : static_cast<HResult>(0x88781161u); // DMUS_E_NOT_FOUND
}
HResult Midi(IDirectMusicSegment8*) { return Log("setMidiParam"); }
HResult Download(IDirectMusicSegment8*, void* target) { return Log("download", N(target)); }
HResult Unload(IDirectMusicSegment8*, void* target) { return Log("unload", N(target)); }
HResult Repeats(IDirectMusicSegment8*, uint32_t n) { return Log("setRepeats", std::to_string(n)); }

const DirectXCalls kFake = {
    CoInit,    CoUninit, Release, Enumerate,         CreateDevice, Cooperate,   GetCaps,    CreateLoader, Search,
    Load,      Garbage,  Forget,  CreatePerformance, InitAudio,    DefaultPath, CreatePath, Play,         Stop,
    CloseDown, Config,   Midi,    Download,          Unload,       Repeats,
};

} // namespace

FakeDirectX::FakeDirectX()
{
    current = this;
    SetDirectXCalls(&kFake);
}

FakeDirectX::~FakeDirectX()
{
    SetDirectXCalls(nullptr);
    current = nullptr;
}

IDirectMusicLoader8* FakeDirectX::Loader() { return reinterpret_cast<IDirectMusicLoader8*>(&s_tags[0]); }
IDirectMusicPerformance8* FakeDirectX::Performance() { return reinterpret_cast<IDirectMusicPerformance8*>(&s_tags[1]); }
IDirectMusicSegment8* FakeDirectX::Segment() { return reinterpret_cast<IDirectMusicSegment8*>(&s_tags[2]); }
IDirectMusicAudioPath8* FakeDirectX::EmbeddedPath() { return reinterpret_cast<IDirectMusicAudioPath8*>(&s_tags[3]); }
IDirectMusicAudioPath8* FakeDirectX::GivenPath() { return reinterpret_cast<IDirectMusicAudioPath8*>(&s_tags[4]); }
void* FakeDirectX::Config() { return &s_tags[5]; }
IDirectSound* FakeDirectX::Device() { return reinterpret_cast<IDirectSound*>(&s_tags[6]); }

std::string FakeDirectX::Name(const void* tag)
{
    static const char* const kNames[] = {"loader", "performance", "segment", "embedded", "given", "config", "device"};
    for (int i = 0; i < 7; ++i) {
        if (tag == &s_tags[i]) return kNames[i];
    }
    return tag ? "?" : "null";
}

std::string FakeDirectX::Joined() const
{
    std::string all;
    for (const std::string& line : log) all += (all.empty() ? "" : "; ") + line;
    return all;
}

DsGuid FakeGuid(int index)
{
    DsGuid guid{};
    guid.Data1 = uint32_t(index);
    guid.Data2 = 0xD5;
    return guid;
}
