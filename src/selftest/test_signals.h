// What the loopback self-test plays, and the conversions between sound
// values and the bytes of a format.
//
// The programme, in order: silence while the devices settle, two periods of
// a maximum-length sequence (the broadband marker for the latency and the
// impulse response), a 997 Hz sine at -1 dBFS (level, distortion, noise,
// ENOB), silence (noise floor), a quiet dithered sine (which low bits
// change), the pilot (dropouts, repeats, clock drift) and silence at the end.
// Every channel plays the same sound.
//
// The pilot is three steady sines whose frequencies are fixed fractions of
// the rate that share no short common period, so that where the sound jumps,
// the phases of the three on both sides tell by how many samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "selftest/fft.h"

constexpr double kSineFrequency = 997.0;
constexpr double kSineLevelDbfs = -1.0;
constexpr double kMlsAmplitude = 0.5;
constexpr int kPilotTones = 3;
constexpr double kPilotRatios[kPilotTones] = {0.02131, 0.03457, 0.05119}; // of the sample rate
constexpr double kPilotAmplitude = 0.2;                                   // each
constexpr double kDitherSineFrequency = 441.0;
constexpr double kDitherSineLevelDbfs = -30.0;

struct ProgrammeTimes {
    double leadSeconds = 2.0;
    int mlsOrder = 15;
    double sineSeconds = 1.5;
    double silenceSeconds = 1.0;
    double ditherSeconds = 1.0;
    double pilotSeconds = 30.0;
    double tailSeconds = 1.5;
};

struct Segment {
    int64_t start = 0; // frame of the programme
    int64_t length = 0;
};

struct Programme {
    int rate = 0, channels = 0, bits = 0;
    int64_t mlsPeriod = 0;
    Segment mls; // two periods
    Segment sine, silence, dither, pilot;
    int64_t frames = 0;
    std::vector<double> mono;     // one value per frame, full scale +-1
    std::vector<double> sequence; // one period of the sequence, +-1
};

Programme BuildProgramme(int rate, int channels, int bits, const ProgrammeTimes& times);

// A maximum-length sequence of 2^order - 1 values of +1 and -1 (order 4 to 20).
std::vector<double> MaximumLengthSequence(int order);

double PilotFrequency(int tone, double rate);
// The pilot's value at frame n of its own start (a fractional n is allowed).
double PilotValue(double n, double rate);

double DbToAmplitude(double db);

// Sound values (+-1 full scale) to the bytes of a format, rounded to the
// nearest step and clipped; every channel of a frame gets the same value.
void EncodeFrames(const std::vector<double>& mono, int channels, int bits, uint8_t* out);
// One channel of interleaved bytes: as integers of the format (8 bits: the
// value less 128), and as values at +-1 full scale.
std::vector<int32_t> DecodeChannelSteps(const uint8_t* data, size_t bytes, int channels, int bits, int channel);
std::vector<double> DecodeChannel(const uint8_t* data, size_t bytes, int channels, int bits, int channel);
double FullScaleSteps(int bits); // 128, 32768 or 8388608
