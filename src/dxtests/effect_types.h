// The eight standard DirectSound effects that the audio-effects test offers,
// and portable copies of the platform records it exchanges with them: the
// parameter record of each effect and the effect description that SetFX
// takes. Field names, order and layout are the platform's, so the Windows
// binding hands them over as they are (it checks the layout at compile time).
#pragma once

#include <cstdint>

#include "dxtests/directx_calls.h" // HResult, DsGuid and the result codes

// The order is fixed: enable check boxes, adjust buttons, effect slots and
// page titles all follow it.
enum EffectKind : int32_t {
    kChorus = 0,
    kCompressor,
    kDistortion,
    kEcho,
    kFlanger,
    kGargle,
    kParamEq,
    kReverb,
};
constexpr int32_t kEffectKindCount = 8;

// SetFX's answer for one effect that it could not attach (DSFXR_FAILED,
// DSFXR_UNKNOWN); the others mean present or placed.
constexpr uint32_t kEffectResultFailed = 4;
constexpr uint32_t kEffectResultUnknown = 5;

// REGDB_E_CLASSNOTREG: what SetFX answers for an effect that is not installed.
constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154u);

struct DsfxChorus {
    float fWetDryMix;
    float fDepth;
    float fFeedback;
    float fFrequency;
    int32_t lWaveform;
    float fDelay;
    int32_t lPhase;
};
using DsfxFlanger = DsfxChorus; // the same fields in the same order

struct DsfxCompressor {
    float fGain;
    float fAttack;
    float fRelease;
    float fThreshold;
    float fRatio;
    float fPredelay;
};

struct DsfxDistortion {
    float fGain;
    float fEdge;
    float fPostEQCenterFrequency;
    float fPostEQBandwidth;
    float fPreLowpassCutoff;
};

struct DsfxEcho {
    float fWetDryMix;
    float fFeedback;
    float fLeftDelay;
    float fRightDelay;
    int32_t lPanDelay; // on no row of the page: keeps what the effect reported
};

struct DsfxGargle {
    uint32_t dwRateHz;
    uint32_t dwWaveShape;
};

struct DsfxParamEq {
    float fCenter;
    float fBandwidth;
    float fGain;
};

struct DsfxWavesReverb {
    float fInGain;
    float fReverbMix;
    float fReverbTime;
    float fHighFreqRTRatio;
};

// The current parameters of every effect, in kind order. Starts all zero.
struct EffectParameterSet {
    DsfxChorus chorus;
    DsfxCompressor compressor;
    DsfxDistortion distortion;
    DsfxEcho echo;
    DsfxFlanger flanger;
    DsfxGargle gargle;
    DsfxParamEq paramEq;
    DsfxWavesReverb reverb;
};

// DSEFFECTDESC. Its size field holds the record's own size: 32 bytes in a
// 32-bit program, 40 in a 64-bit one (the reserved words are pointer-sized).
struct DsEffectDesc {
    uint32_t dwSize;
    uint32_t dwFlags;
    DsGuid guidDSFXClass;
    uintptr_t dwReserved1;
    uintptr_t dwReserved2;
};
