#include "fake_audio3d.h"

FakeAudio3D* FakeAudio3D::current = nullptr;

namespace {

char s_tags[2];
void (*s_release)(void*) = nullptr; // FakeDirectX's own

FakeAudio3D& F() { return *FakeAudio3D::current; }

std::string N(const void* tag)
{
    if (tag == &s_tags[0]) return "source";
    if (tag == &s_tags[1]) return "listener";
    return FakeDirectX::Name(tag);
}

HResult Log(const char* call, const std::string& args = "")
{
    FakeDirectX::current->log.push_back(std::string(call) + (args.empty() ? "" : "(" + args + ")"));
    auto it = F().results.find(call);
    return it == F().results.end() ? kSOk : it->second;
}

void Release(void* p)
{
    if (p == &s_tags[0] || p == &s_tags[1])
        Log("release", N(p));
    else
        s_release(p);
}

HResult CreatePath(IDirectMusicPerformance8* performance, uint32_t type, uint32_t pchannels,
                   IDirectMusicAudioPath8** path)
{
    HResult hr =
        Log("createStandardAudioPath", N(performance) + "," + std::to_string(type) + "," + std::to_string(pchannels));
    *path = Succeeded(hr) ? FakeDirectX::GivenPath() : nullptr;
    return hr;
}
HResult GetSource(IDirectMusicAudioPath8* path, IDirectSound3DBuffer** source)
{
    HResult hr = Log("getSourceBuffer", N(path));
    *source = Succeeded(hr) ? FakeAudio3D::Source() : nullptr;
    return hr;
}
HResult GetListener(IDirectMusicAudioPath8* path, IDirectSound3DListener** listener)
{
    HResult hr = Log("getListener", N(path));
    *listener = Succeeded(hr) ? FakeAudio3D::Listener() : nullptr;
    return hr;
}
HResult GetSourceRecord(IDirectSound3DBuffer*, Ds3dBuffer* r)
{
    HResult hr = Log("getSourceParameters", std::to_string(r->dwSize));
    if (Succeeded(hr)) *r = F().sourceStart, r->dwSize = sizeof(Ds3dBuffer);
    return hr;
}
HResult SetSourceRecord(IDirectSound3DBuffer*, const Ds3dBuffer* r, uint32_t apply)
{
    HResult hr = Log("setSourceParameters", "mode " + std::to_string(r->dwMode) + "," + std::to_string(apply));
    if (Succeeded(hr)) F().source = *r;
    return hr;
}
HResult SetPosition(IDirectSound3DBuffer*, float x, float y, float z, uint32_t apply)
{
    ++F().positions;
    HResult hr = Log("setSourcePosition", std::to_string(apply));
    if (Succeeded(hr)) F().source.vPosition = {x, y, z};
    return hr;
}
HResult SetVelocity(IDirectSound3DBuffer*, float x, float y, float z, uint32_t apply)
{
    HResult hr = Log("setSourceVelocity", std::to_string(apply));
    if (Succeeded(hr)) F().source.vVelocity = {x, y, z};
    return hr;
}
HResult GetListenerRecord(IDirectSound3DListener*, Ds3dListener* r)
{
    return Log("getListenerParameters", std::to_string(r->dwSize));
}
HResult SetListenerRecord(IDirectSound3DListener*, const Ds3dListener*, uint32_t apply)
{
    return Log("setListenerParameters", std::to_string(apply));
}
HResult Commit(IDirectSound3DListener*) { return Log("commitDeferredSettings"); }

const Audio3DCalls kFake = {
    CreatePath,  GetSource,   GetListener,       GetSourceRecord,   SetSourceRecord,
    SetPosition, SetVelocity, GetListenerRecord, SetListenerRecord, Commit,
};

} // namespace

FakeAudio3D::FakeAudio3D()
{
    current = this;
    SetAudio3DCalls(&kFake);
    m_previous = &GetDirectXCalls();
    m_dx = *m_previous;
    s_release = m_dx.release;
    m_dx.release = Release;
    SetDirectXCalls(&m_dx);
}

FakeAudio3D::~FakeAudio3D()
{
    SetAudio3DCalls(nullptr);
    SetDirectXCalls(m_previous);
    current = nullptr;
}

IDirectSound3DBuffer* FakeAudio3D::Source() { return reinterpret_cast<IDirectSound3DBuffer*>(&s_tags[0]); }
IDirectSound3DListener* FakeAudio3D::Listener() { return reinterpret_cast<IDirectSound3DListener*>(&s_tags[1]); }
