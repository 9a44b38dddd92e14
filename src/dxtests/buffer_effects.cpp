#include "dxtests/buffer_effects.h"

#include <cstring>

#include "dxtests/effect_records.h"
#include "dxtests/effect_table.h"

CBufferEffects::CBufferEffects() : parameters(), buffer(nullptr), audioPath(nullptr), m_results(), m_chainRefused(false)
{
    for (void*& effect : effects) effect = nullptr;
    ClearChain();
}

CBufferEffects::~CBufferEffects()
{
    DisableAllEffects();
    const EffectCalls& fx = GetEffectCalls();
    if (buffer) fx.release(buffer);
    if (audioPath) fx.release(audioPath);
    buffer = nullptr;
    audioPath = nullptr;
}

void CBufferEffects::ClearChain()
{
    std::memset(descriptions, 0, sizeof(descriptions));
    for (int32_t i = 0; i < kEffectKindCount; ++i) {
        interfaceIds[i] = nullptr;
        targets[i] = nullptr;
        enabled[i] = false;
    }
    count = 0;
}

HResult CBufferEffects::Initialize(IDirectMusicAudioPath8* path, bool loadDefaults)
{
    const EffectCalls& fx = GetEffectCalls();
    if (buffer) {
        DisableAllEffects();
        fx.release(buffer);
        buffer = nullptr;
        if (audioPath) fx.release(audioPath);
        audioPath = nullptr;
    }
    if (!path) return kSOk;
    IDirectSoundBuffer8* pathBuffer = nullptr;
    const HResult hr = fx.getPathBuffer(path, &pathBuffer);
    if (!Succeeded(hr)) return hr; // the caller keeps its path
    buffer = pathBuffer;
    audioPath = path;
    if (loadDefaults) LoadDefaultParameters();
    return kSOk;
}

HResult CBufferEffects::Uninitialize() { return Initialize(nullptr, false); }

HResult CBufferEffects::EnableEffect(int32_t kind)
{
    if (kind < 0 || kind >= kEffectKindCount) return kEFail;
    if (enabled[kind]) return kSFalse;
    enabled[kind] = true;
    if (effects[kind]) return kSFalse;
    if (count == kEffectKindCount) return kEFail;
    const EffectInfo& info = EffectInfoOf(kind);
    DsEffectDesc& description = descriptions[count];
    description = DsEffectDesc{};
    description.dwSize = sizeof(DsEffectDesc);
    description.guidDSFXClass = info.effectClass;
    interfaceIds[count] = &info.interfaceId;
    targets[count] = &effects[kind];
    ++count;
    return kSOk;
}

HResult CBufferEffects::ActivateEffects()
{
    if (!buffer) return kEFail;
    if (count == 0) return kSFalse;
    const EffectCalls& fx = GetEffectCalls();
    if (audioPath) fx.activatePath(audioPath, false);
    for (uint32_t& result : m_results) result = kEffectResultUnknown;
    HResult hr = fx.setFX(buffer, count, descriptions, m_results);
    m_chainRefused = !Succeeded(hr);
    if (Succeeded(hr)) {
        for (uint32_t i = 0; i < count; ++i) {
            void* effect = nullptr;
            hr = fx.getEffect(buffer, &descriptions[i].guidDSFXClass, 0, interfaceIds[i], &effect);
            if (!Succeeded(hr)) break; // this slot and the later ones stay null
            *targets[i] = effect;
        }
    }
    // The path plays again even when an effect could not be attached: the
    // sound then plays without it.
    if (audioPath) fx.activatePath(audioPath, true);
    return Succeeded(hr) ? kSOk : hr;
}

HResult CBufferEffects::ActivateAvailableEffects()
{
    const HResult hr = ActivateEffects();
    if (Succeeded(hr) || !m_chainRefused) return hr;
    // Keep the effects the platform did not refuse, in their order.
    uint32_t kept[kEffectKindCount];
    uint32_t keptCount = 0;
    int32_t kinds[kEffectKindCount];
    for (uint32_t i = 0; i < count; ++i) {
        kinds[i] = static_cast<int32_t>(targets[i] - effects);
        if (m_results[i] != kEffectResultFailed && m_results[i] != kEffectResultUnknown) kept[keptCount++] = i;
    }
    if (keptCount == 0 || keptCount == count) return hr;
    DisableAllEffects();
    for (uint32_t i = 0; i < keptCount; ++i) EnableEffect(kinds[kept[i]]);
    return ActivateEffects();
}

HResult CBufferEffects::DisableAllEffects()
{
    const EffectCalls& fx = GetEffectCalls();
    for (void*& effect : effects) {
        if (effect) fx.release(effect);
        effect = nullptr;
    }
    ClearChain();
    if (!buffer) return kEFail;
    if (audioPath) fx.activatePath(audioPath, false);
    const HResult hr = fx.setFX(buffer, 0, nullptr, nullptr);
    // Reactivated even after a failure, so that the path plays.
    if (audioPath) fx.activatePath(audioPath, true);
    return Succeeded(hr) ? kSOk : hr;
}

HResult CBufferEffects::ApplyParameters()
{
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind)
        if (effects[kind]) ApplyEffectRecord(kind, effects[kind], EffectRecord(parameters, kind));
    return kSOk;
}

HResult CBufferEffects::LoadDefaultParameters()
{
    if (!buffer) return kEFail;
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) EnableEffect(kind);
    ActivateAvailableEffects();
    const EffectCalls& fx = GetEffectCalls();
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) {
        if (!effects[kind]) continue;
        // A failed read may have scribbled on its output: only a success counts.
        alignas(8) unsigned char record[sizeof(EffectParameterSet)];
        void* own = EffectRecord(parameters, kind);
        const size_t size = EffectRecordSize(kind);
        std::memcpy(record, own, size);
        if (Succeeded(fx.getAllParameters(static_cast<EffectKind>(kind), effects[kind], record)))
            std::memcpy(own, record, size);
    }
    DisableAllEffects();
    return kSOk;
}
