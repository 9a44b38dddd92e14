#include "dxtests/effect_table.h"

#include "resource.h"

namespace {

constexpr int32_t Row(int r) { return IDC_FX_ROW_FIRST + 5 * r; }

#define FIELD(type, name) static_cast<uint32_t>(offsetof(type, name))

const EffectParameterRow kChorusRows[] = {
    {Row(0), "Wet/Dry Mix (%)", FIELD(DsfxChorus, fWetDryMix), false, 0.0f, 100.0f, 0.1f, 1},
    {Row(1), "Depth (%)", FIELD(DsfxChorus, fDepth), false, 0.0f, 100.0f, 0.1f, 1},
    {Row(2), "Feedback (%)", FIELD(DsfxChorus, fFeedback), false, -99.0f, 99.0f, 0.1f, 1},
    {Row(3), "Frequency (Hz)", FIELD(DsfxChorus, fFrequency), false, 0.0f, 10.0f, 0.1f, 1},
    {Row(4), "Delay (ms)", FIELD(DsfxChorus, fDelay), false, 0.0f, 20.0f, 0.1f, 1},
};
const EffectParameterRow kCompressorRows[] = {
    {Row(0), "Gain (dB)", FIELD(DsfxCompressor, fGain), false, -60.0f, 60.0f, 0.1f, 1},
    {Row(1), "Attack (ms)", FIELD(DsfxCompressor, fAttack), false, 0.01f, 500.0f, 0.1f, 1},
    {Row(2), "Release (ms)", FIELD(DsfxCompressor, fRelease), false, 50.0f, 3000.0f, 0.1f, 1},
    {Row(3), "Threshold (dB)", FIELD(DsfxCompressor, fThreshold), false, -60.0f, 0.0f, 0.1f, 1},
    {Row(4), "Ratio (x:1)", FIELD(DsfxCompressor, fRatio), false, 1.0f, 100.0f, 0.1f, 1},
    {Row(5), "Predelay (ms)", FIELD(DsfxCompressor, fPredelay), false, 0.0f, 4.0f, 0.05f, 2},
};
const EffectParameterRow kDistortionRows[] = {
    {Row(0), "Gain (dB)", FIELD(DsfxDistortion, fGain), false, -60.0f, 0.0f, 0.1f, 1},
    {Row(1), "Edge (%)", FIELD(DsfxDistortion, fEdge), false, 0.0f, 100.0f, 0.1f, 1},
    {Row(2), "PostEQ Center Freq (Hz)", FIELD(DsfxDistortion, fPostEQCenterFrequency), false, 100.0f, 8000.0f, 1.0f, 0},
    {Row(3), "PostEQ Bandwidth (Hz)", FIELD(DsfxDistortion, fPostEQBandwidth), false, 100.0f, 8000.0f, 1.0f, 0},
    {Row(4), "PreLowpass Cutoff (Hz)", FIELD(DsfxDistortion, fPreLowpassCutoff), false, 100.0f, 8000.0f, 1.0f, 0},
};
const EffectParameterRow kEchoRows[] = {
    {Row(0), "Wet/Dry Mix (%)", FIELD(DsfxEcho, fWetDryMix), false, 0.0f, 100.0f, 0.1f, 1},
    {Row(1), "Feedback (%)", FIELD(DsfxEcho, fFeedback), false, 0.0f, 100.0f, 0.1f, 1},
    {Row(2), "Left Delay (ms)", FIELD(DsfxEcho, fLeftDelay), false, 1.0f, 2000.0f, 0.1f, 1},
    {Row(3), "Right Delay (ms)", FIELD(DsfxEcho, fRightDelay), false, 1.0f, 2000.0f, 0.1f, 1},
};
const EffectParameterRow kFlangerRows[] = {
    {Row(0), "Wet/Dry Mix (%)", FIELD(DsfxFlanger, fWetDryMix), false, 0.0f, 100.0f, 0.1f, 1},
    {Row(1), "Depth (%)", FIELD(DsfxFlanger, fDepth), false, 0.0f, 100.0f, 0.1f, 1},
    {Row(2), "Feedback (%)", FIELD(DsfxFlanger, fFeedback), false, -99.0f, 99.0f, 0.1f, 1},
    {Row(3), "Frequency (Hz)", FIELD(DsfxFlanger, fFrequency), false, 0.0f, 10.0f, 0.01f, 2},
    {Row(4), "Delay (ms)", FIELD(DsfxFlanger, fDelay), false, 0.0f, 4.0f, 0.01f, 2},
};
const EffectParameterRow kGargleRows[] = {
    {Row(0), "Rate (Hz)", FIELD(DsfxGargle, dwRateHz), true, 1.0f, 1000.0f, 0.1f, 1},
};
const EffectParameterRow kParamEqRows[] = {
    {Row(0), "Center Freq (Hz)", FIELD(DsfxParamEq, fCenter), false, 80.0f, 16000.0f, 0.1f, 1},
    {Row(1), "Bandwidth (Hz)", FIELD(DsfxParamEq, fBandwidth), false, 1.0f, 36.0f, 0.1f, 1},
    {Row(2), "Gain (dB)", FIELD(DsfxParamEq, fGain), false, -15.0f, 15.0f, 0.1f, 1},
};
const EffectParameterRow kReverbRows[] = {
    {Row(0), "In Gain (dB)", FIELD(DsfxWavesReverb, fInGain), false, -96.0f, 0.0f, 0.1f, 1},
    {Row(1), "Reverb Mix (dB)", FIELD(DsfxWavesReverb, fReverbMix), false, -96.0f, 0.0f, 0.1f, 1},
    {Row(2), "Reverb Time (ms)", FIELD(DsfxWavesReverb, fReverbTime), false, 0.001f, 3000.0f, 0.1f, 1},
    {Row(3), "HighFreq RT Ratio (x:1)", FIELD(DsfxWavesReverb, fHighFreqRTRatio), false, 0.001f, 0.999f, 0.01f, 2},
};

#define ROWS(table) table, static_cast<int32_t>(sizeof(table) / sizeof(table[0]))

const EffectInfo kEffects[kEffectKindCount] = {
    {"Chorus",
     {0xEFE6629C, 0x81F7, 0x4281, {0xBD, 0x91, 0xC9, 0xD6, 0x04, 0xA9, 0x5A, 0xF6}},
     {0x880842e3, 0x145f, 0x43e6, {0xa9, 0x34, 0xa7, 0x18, 0x06, 0xe5, 0x05, 0x47}},
     ROWS(kChorusRows),
     true,
     FIELD(DsfxChorus, lWaveform),
     0,
     kNoButton,
     1,
     true,
     FIELD(DsfxChorus, lPhase)},
    {"Compressor",
     {0xEF011F79, 0x4000, 0x406D, {0x87, 0xAF, 0xBF, 0xFB, 0x3F, 0xC3, 0x9D, 0x57}},
     {0x4bbd1154, 0x62f6, 0x4e2c, {0xa1, 0x5c, 0xd3, 0xb6, 0xc4, 0x17, 0xf7, 0xa0}},
     ROWS(kCompressorRows),
     false,
     0,
     kNoButton,
     kNoButton,
     kNoButton,
     false,
     0},
    {"Distortion",
     {0xEF114C90, 0xCD1D, 0x484E, {0x96, 0xE5, 0x09, 0xCF, 0xAF, 0x91, 0x2A, 0x21}},
     {0x8ecf4326, 0x455f, 0x4d8b, {0xbd, 0xa9, 0x8d, 0x5d, 0x3e, 0x9e, 0x3e, 0x0b}},
     ROWS(kDistortionRows),
     false,
     0,
     kNoButton,
     kNoButton,
     kNoButton,
     false,
     0},
    {"Echo",
     {0xEF3E932C, 0xD40B, 0x4F51, {0x8C, 0xCF, 0x3F, 0x98, 0xF1, 0xB2, 0x9D, 0x5D}},
     {0x8bd28edf, 0x50db, 0x4e92, {0xa2, 0xbd, 0x44, 0x54, 0x88, 0xd1, 0xed, 0x42}},
     ROWS(kEchoRows),
     false,
     0,
     kNoButton,
     kNoButton,
     kNoButton,
     false,
     0},
    {"Flanger",
     {0xEFCA3D92, 0xDFD8, 0x4672, {0xA6, 0x03, 0x74, 0x20, 0x89, 0x4B, 0xAD, 0x98}},
     {0x903e9878, 0x2c92, 0x4072, {0x9b, 0x2c, 0xea, 0x68, 0xf5, 0x39, 0x67, 0x83}},
     ROWS(kFlangerRows),
     true,
     FIELD(DsfxFlanger, lWaveform),
     0,
     kNoButton,
     1,
     true,
     FIELD(DsfxFlanger, lPhase)},
    {"Gargle",
     {0xDAFD8210, 0x5711, 0x4B91, {0x9F, 0xE3, 0xF7, 0x5B, 0x7A, 0xE2, 0x79, 0xBF}},
     {0xd616f352, 0xd622, 0x11ce, {0xaa, 0xc5, 0x00, 0x20, 0xaf, 0x0b, 0x99, 0xa3}},
     ROWS(kGargleRows),
     true,
     FIELD(DsfxGargle, dwWaveShape),
     0,
     1,
     kNoButton,
     false,
     0},
    {"Param Eq",
     {0x120CED89, 0x3BF4, 0x4173, {0xA1, 0x32, 0x3C, 0xB4, 0x06, 0xCF, 0x32, 0x31}},
     {0xc03ca9fe, 0xfe90, 0x4204, {0x80, 0x78, 0x82, 0x33, 0x4c, 0xd1, 0x77, 0xda}},
     ROWS(kParamEqRows),
     false,
     0,
     kNoButton,
     kNoButton,
     kNoButton,
     false,
     0},
    {"Reverb",
     {0x87FC0268, 0x9A55, 0x4360, {0x95, 0xAA, 0x00, 0x4A, 0x1D, 0x9D, 0xE2, 0x6C}},
     {0x46858c3a, 0x0dc6, 0x45e3, {0xb7, 0x60, 0xd4, 0xee, 0xf1, 0x6c, 0xb3, 0x25}},
     ROWS(kReverbRows),
     false,
     0,
     kNoButton,
     kNoButton,
     kNoButton,
     false,
     0},
};

} // namespace

const int32_t kPhaseValues[kPhaseButtonCount] = {0, 1, 2, 3, 4};

const EffectInfo& EffectInfoOf(int32_t kind) { return kEffects[kind]; }
