// Tone synthesis: turns a wave shape, a frequency, an amplitude and a length
// in seconds into one loop of sample bytes in the current sound format, held
// in the playback source that the playback session plays over and over.
//
// Portable core. Runs on the user-interface thread, and only while no
// playback session runs, so nothing here is locked.
//
// How the loop is sized: the loop is a whole number of periods long wherever
// the playback store's capacity allows, so playing it in a loop continues the
// waveform without a jump. Beside the loop, g_nToneRepeatCount says how many
// loops a saved WAV file must hold to last at least the requested seconds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "resource.h"

// The list index of the create-tone dialog is the shape.
enum class ToneShape : int32_t { Sine = 0, Square = 1, Saw = 2, Spike = 3, WhiteNoise = 4, PinkNoise = 5 };

// Loops of the playback source that a saved tone file holds (read by the WAV
// writer). 0 after a tone that could not be allocated.
extern int32_t g_nToneRepeatCount;

enum class ToneResult {
    Ok,
    LowMemory,  // the playback source could not be allocated: show MessageBoxId::ToneLowMemory
    NotAPreset, // GeneratePresetTone was given a command id that is no preset
};

// Generates a tone into g_pPlaybackSource in the current format (g_nSampleRate,
// g_nChannels, g_nBitsPerSample), capped by g_nOutputBufferSize. shape is a
// ToneShape value (0 to 5), frequency 1 or more Hz, amplitude 0 to 100 %,
// seconds 0 or more. Sets g_nPlaybackSourceSize and g_nToneRepeatCount and
// sets g_nOutputPos to 0.
//
// On LowMemory the previous source is already released: g_pPlaybackSource is
// null, g_nPlaybackSourceSize and g_nToneRepeatCount are 0, and nothing must be
// played. An absent playback store (capacity 0) leaves no room for a single
// frame and is reported the same way: it is itself a failed allocation.
ToneResult GenerateTone(int32_t shape, int32_t frequency, int32_t amplitude, int32_t seconds);

// Stores one sample value (already scaled and offset) in every channel of the
// frame at byte index position of the playback source, and advances position
// by one frame. The value is truncated toward zero and its low 8, 16 or 24
// bits are stored little-endian. A frame that would not fit is not written.
void PutToneSample(float value, int32_t& position);

// The four "Test tones" menu presets.
struct TonePreset {
    int32_t nCommand; // menu command id
    ToneShape shape;
    int32_t nFrequency;
    int32_t nAmplitude;
    int32_t nSeconds;
};
constexpr TonePreset kTonePresets[] = {
    {IDM_SINE_1K, ToneShape::Sine, 1000, 50, 0},           // "1kHz Sine wave"
    {IDM_SAW_1K, ToneShape::Saw, 1000, 50, 0},             // "1kHz Saw Wave"
    {IDM_SQUARE_1K, ToneShape::Square, 1000, 50, 0},       // "1kHz Square Wave"
    {IDM_WHITE_NOISE, ToneShape::WhiteNoise, 1000, 50, 0}, // "White noise"
};

// Runs GenerateTone with the preset of a menu command; other ids do nothing
// and give NotAPreset.
ToneResult GeneratePresetTone(int32_t command);

// Tests replace the noise seed (to get the same bytes twice); null restores
// the calendar time in whole seconds. The playback source's allocation is in
// state/stores.h.
using ToneSeedFn = uint32_t (*)();
void SetToneSeedSource(ToneSeedFn fn);

// The arithmetic behind GenerateTone, all lengths in 64 bits.

// Loop length in frames: the largest common divisor d of frequency and rate
// not above frequency / 2 gives (rate / d) x (frequency / d) frames, which hold
// (frequency / d)^2 whole periods; short loops are then multiplied by 20, 10
// and 5 in turn, and the result is capped to capacityBytes. A frequency or a
// rate below 1 gives 0 frames.
int64_t ToneLoopFrames(int32_t frequency, int32_t sampleRate, int32_t bytesPerSample, int32_t channels,
                       int32_t capacityBytes);

// Loops needed to cover the requested seconds: seconds / (frames / rate),
// truncated, plus 1; saturates at INT32_MAX (the WAV writer refuses that).
int32_t ToneRepeatCount(int32_t seconds, int64_t frames, int32_t sampleRate);

// Scale and offset of the sample values at a resolution (8: 127 around 128;
// 16: 32767 around 0; 24: 8388607 around 0).
struct ToneLevel {
    float fScale;
    float fOffset;
};
ToneLevel ToneLevelFor(int32_t bitsPerSample, int32_t amplitude);

// Phase in [0, 1) of frame i, in single precision on purpose: long loops get
// a coarse phase, and the waveform is defined that way.
float TonePhase(int64_t frame, int32_t frequency, int32_t sampleRate);

// The noise generators' random source: a linear congruential generator of our
// own, so that every build gives the same numbers for the same seed.
class CToneRandom {
public:
    explicit CToneRandom(uint32_t seed) : m_nState(seed) {}
    // 0 to 32767.
    int32_t Next()
    {
        m_nState = m_nState * 214013u + 2531011u;
        return static_cast<int32_t>((m_nState >> 16) & 0x7FFFu);
    }

private:
    uint32_t m_nState;
};

// A draw of 0 to 32767 as a white-noise value in [-1, +1]; as a pink-noise
// draw it is further divided by 6.
float WhiteNoiseValue(int32_t draw);
float PinkNoiseDraw(int32_t draw);

// Pink noise: five rows redrawn at halving rates (row j every 2^j frames),
// plus a fresh value for every frame. draw() gives one PinkNoiseDraw value;
// the order of the draws (fresh value first, then rows 0 up) fixes the
// sequence for a seed.
class CPinkNoise {
public:
    template <class Draw>
    explicit CPinkNoise(Draw&& draw)
    {
        for (float& row : m_fRows) row = draw();
    }

    template <class Draw>
    float Next(Draw&& draw)
    {
        const uint32_t next = m_nCounter == 31 ? 0 : m_nCounter + 1; // 5-bit counter
        const uint32_t changed = m_nCounter ^ next;
        m_nCounter = next;
        float sum = draw();
        for (int j = 0; j < 5; ++j) {
            if (changed & (1u << j)) m_fRows[j] = draw();
            sum += m_fRows[j];
        }
        return sum;
    }

private:
    float m_fRows[5];
    uint32_t m_nCounter = 0;
};
