#include "dxtests/effect_records.h"

#include <algorithm>
#include <cstring>

#include "dxtests/effect_calls.h"

namespace {

void ClampInt(void* record, uint32_t offset, int32_t low, int32_t high)
{
    StoreRecordInt(record, offset, std::clamp(LoadRecordInt(record, offset), low, high));
}

} // namespace

void* EffectRecord(EffectParameterSet& set, int32_t kind)
{
    switch (kind) {
    case kChorus: return &set.chorus;
    case kCompressor: return &set.compressor;
    case kDistortion: return &set.distortion;
    case kEcho: return &set.echo;
    case kFlanger: return &set.flanger;
    case kGargle: return &set.gargle;
    case kParamEq: return &set.paramEq;
    case kReverb: return &set.reverb;
    default: return nullptr;
    }
}

const void* EffectRecord(const EffectParameterSet& set, int32_t kind)
{
    return EffectRecord(const_cast<EffectParameterSet&>(set), kind);
}

// Fields are reached through memcpy: a record is a plain platform structure
// addressed by offset, and memcpy keeps that free of aliasing questions.
float RowValue(const void* record, const EffectParameterRow& row)
{
    const auto* bytes = static_cast<const unsigned char*>(record) + row.offset;
    if (row.integerField) {
        uint32_t value;
        std::memcpy(&value, bytes, sizeof(value));
        return static_cast<float>(value);
    }
    float value;
    std::memcpy(&value, bytes, sizeof(value));
    return value;
}

void StoreRowValue(void* record, const EffectParameterRow& row, float value)
{
    auto* bytes = static_cast<unsigned char*>(record) + row.offset;
    if (row.integerField) {
        const uint32_t whole = static_cast<uint32_t>(value); // rows of integers start at 1 or more
        std::memcpy(bytes, &whole, sizeof(whole));
        return;
    }
    std::memcpy(bytes, &value, sizeof(value));
}

int32_t LoadRecordInt(const void* record, uint32_t offset)
{
    int32_t value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof(value));
    return value;
}

void StoreRecordInt(void* record, uint32_t offset, int32_t value)
{
    std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof(value));
}

size_t EffectRecordSize(int32_t kind)
{
    switch (kind) {
    case kChorus: return sizeof(DsfxChorus);
    case kCompressor: return sizeof(DsfxCompressor);
    case kDistortion: return sizeof(DsfxDistortion);
    case kEcho: return sizeof(DsfxEcho);
    case kFlanger: return sizeof(DsfxFlanger);
    case kGargle: return sizeof(DsfxGargle);
    case kParamEq: return sizeof(DsfxParamEq);
    case kReverb: return sizeof(DsfxWavesReverb);
    default: return 0;
    }
}

void ClampEffectRecord(int32_t kind, void* record)
{
    const EffectInfo& info = EffectInfoOf(kind);
    for (int32_t r = 0; r < info.rowCount; ++r) {
        const EffectParameterRow& row = info.rows[r];
        if (row.integerField) {
            // Clamped as an unsigned integer: converting a huge one to float
            // and back would not be exact.
            uint32_t value;
            std::memcpy(&value, static_cast<unsigned char*>(record) + row.offset, sizeof(value));
            value = std::clamp(value, static_cast<uint32_t>(row.min), static_cast<uint32_t>(row.max));
            std::memcpy(static_cast<unsigned char*>(record) + row.offset, &value, sizeof(value));
            continue;
        }
        const float value = RowValue(record, row);
        if (!(value >= row.min))
            StoreRowValue(record, row, row.min);
        else if (value > row.max)
            StoreRowValue(record, row, row.max);
    }
    if (info.hasWaveform) {
        int32_t low = INT32_MAX, high = INT32_MIN;
        for (int32_t value : {info.triangle, info.square, info.sine})
            if (value != kNoButton) {
                low = std::min(low, value);
                high = std::max(high, value);
            }
        ClampInt(record, info.waveformOffset, low, high);
    }
    if (info.hasPhase) ClampInt(record, info.phaseOffset, kPhaseValues[0], kPhaseValues[kPhaseButtonCount - 1]);
    if (kind == kEcho) ClampInt(record, offsetof(DsfxEcho, lPanDelay), 0, 1);
}

HResult ApplyEffectRecord(int32_t kind, void* effect, const void* record)
{
    if (!effect || kind < 0 || kind >= kEffectKindCount) return kEFail;
    alignas(8) unsigned char copy[sizeof(EffectParameterSet)];
    std::memcpy(copy, record, EffectRecordSize(kind));
    ClampEffectRecord(kind, copy);
    return GetEffectCalls().setAllParameters(static_cast<EffectKind>(kind), effect, copy);
}
