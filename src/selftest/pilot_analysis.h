// The pilot: dropouts, repeats and the drift between the output's and the
// input's clocks.
//
// - Drift: the phase of each of the pilot's three sines, fitted block by
//   block; the phase steps between blocks give each sine's frequency as the
//   input sees it. A pilot that comes back 100 ppm low means that the input
//   takes 100 ppm more samples per second than the output plays.
// - Discontinuities: a sum of three sines obeys a fixed sixth-order
//   recurrence, so its prediction residual is noise except where the sound
//   jumps. Runs of silence (at least 16 samples within -60 dBFS) are found
//   directly. At each discontinuity the sines' phases on both sides give the
//   shift: by how many samples of the pilot the sound after it is ahead (+,
//   sound lost) or behind (-, sound repeated or silence inserted).
// - Kinds: a gap is silence heard or sound lost; a repeat is sound heard
//   again without silence; a click is a jump that loses and repeats nothing.
#pragma once

#include <cstdint>
#include <vector>

enum class JumpKind { Gap, Repeat, Click };

struct PilotJump {
    JumpKind kind = JumpKind::Click;
    int64_t index = 0;  // first sample of the disturbance, in the analysed stretch
    int64_t span = 0;   // samples it covers (the silence, or the jump's few samples)
    int64_t silent = 0; // samples of silence in it
    double shift = 0;   // pilot samples the sound after it is ahead (+) or behind (-); NaN: unknown
    double lost = 0;    // shift + silent: sound lost (+) or heard again (-), in samples
    double seconds = 0; // index / rate
};

struct PilotFigures {
    bool valid = false;      // the pilot was found
    double driftPpm = 0;     // input clock against output clock (+: the input takes more samples)
    double levelDbfs = 0;    // of the pilot's sines together, from their fitted amplitudes
    double residualDbfs = 0; // typical prediction residual, the floor the jumps are found above
    std::vector<PilotJump> jumps;
    int gaps = 0, repeats = 0, clicks = 0;
};

PilotFigures AnalysePilot(const std::vector<double>& x, double rate);
