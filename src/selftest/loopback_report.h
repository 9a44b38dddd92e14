// What one loopback run found, format by format: the figures (each with
// its unit), a verdict per line against a stated threshold, the jumps in the
// pilot and the data of the two plots. AnalyseRecording turns a recording of
// the programme into that, without any device, so the same analysis is
// tested on made-up recordings with known faults.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "selftest/pilot_analysis.h"
#include "selftest/sine_analysis.h"
#include "selftest/stream_timing.h"
#include "selftest/test_signals.h"

struct LoopbackFormat {
    int rate, channels, bits;
};

struct Figure {
    std::string key;   // name in report.json
    std::string label; // as a person reads it
    double value;      // NaN: none (the text says why)
    std::string unit;
    int decimals;
    std::string text; // shown instead of the number when it is NaN
};

struct Check {
    std::string key;
    std::string label;
    std::string measured;
    std::string threshold;
    bool pass;
};

// What the run of one format handed over for analysis.
struct Recording {
    std::vector<uint8_t> bytes;       // everything the input delivered, from its start
    std::vector<TimingPoint> input;   // recorded frames seen against the counter
    std::vector<TimingPoint> output;  // played frames seen against the counter
    int64_t framesBeforePlayback = 0; // recorded before the playback began
};

struct FormatReport {
    LoopbackFormat format{};
    bool ran = false;
    std::string whyNot; // when it could not run
    std::vector<Figure> figures;
    std::vector<Check> checks;
    std::vector<PilotJump> jumps; // seconds: into the pilot
    int impulseFirstLag = 0;
    std::vector<double> impulse; // around the latency peak, 1 = unchanged
    std::vector<SpectrumPoint> spectrum;
    int64_t recordedFrames = 0;

    bool Passed() const;
    const Figure* Find(const std::string& key) const;
};

struct LoopbackReport {
    uint32_t inputDevice = 0, outputDevice = 0;
    double pilotSeconds = 0;
    std::string whyNot; // the run could not start at all (a wrong command line)
    std::vector<FormatReport> formats;

    // 0 every verdict passes, 1 one fails, 2 the run or a format could not run.
    int ExitCode() const;
};

FormatReport AnalyseRecording(const Programme& programme, const Recording& recording);

// A format that could not run, and why.
FormatReport NotRun(const LoopbackFormat& format, const std::string& why);

std::string FormatName(const LoopbackFormat& format); // "44100 Hz, 2 channels, 16 bits"
