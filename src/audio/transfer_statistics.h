// Live transfer statistics: what statistics timer 1 shows every 500 ms and
// Stop shows once more. For each direction the actual rate over the last
// half second and the average rate since the session's device started, with the
// deviation from the requested rate; the fill of both stores; and the
// lost-output-device rule.
//
// The byte totals are CWave's: what the device really delivered or played.
// A rate is bytes x counter frequency / counter ticks, exact and truncated to
// an int; a deviation is a single-precision percentage of the requested rate
// printed with two decimals.
//
// Runs on the user-interface thread only; the state kept between updates is
// the globals below.
#pragma once

#include <cstdint>
#include <string>

class CWave;

// Kept between updates for each direction: the counter and the byte total
// at the previous sample and at the one before it.
struct RateSamples {
    int64_t lastTime = 0;
    int64_t lastTotal = 0;
    int64_t priorTime = 0;
    int64_t priorTotal = 0;
};
extern RateSamples g_InSamples;
extern RateSamples g_OutSamples;

// What one update reads. A direction's object is given only while its
// session runs (its flag set); null otherwise.
struct TransferSources {
    const CWave* input = nullptr;
    const CWave* output = nullptr;
    int64_t captureStart = 0;  // counter when the capture device started
    int64_t playbackStart = 0; // counter when the playback device started
    int64_t frequency = 1;     // counter ticks per second
    int32_t bytesPerSec = 0;   // the requested rate
    int32_t recordedBytes = 0;
    int32_t outputBytes = 0;
    int32_t outputBufferSize = 0;
};

// The texts of the six fields. An empty fill text leaves that field as it is.
struct TransferTexts {
    std::string averageIn;  // 1042
    std::string actualIn;   // 1040
    std::string averageOut; // 1050
    std::string actualOut;  // 1048
    std::string fillIn;     // 1046
    std::string fillOut;    // 1052
    // This update found the output device lost: the caller clears the
    // playback flag, tells the user and ends the program.
    bool outputLost = false;
};

// A fresh reading of the high-resolution counter.
using CounterReader = int64_t (*)();

TransferTexts UpdateTransferStatistics(const TransferSources& sources, CounterReader readCounter);

// Forgets the previous samples and the lost-device count (start-up).
void ResetTransferStatistics();

// Arithmetic shared by the fields, exposed for tests.
float CounterSeconds(int64_t ticks, int64_t frequency);
int32_t ByteRate(int64_t bytes, int64_t ticks,
                 int64_t frequency);                      // 0 when no time has passed
std::string AverageText(int32_t rate, int32_t requested); // "%d (%+0.2f%%)"
std::string FillText(int percent, int32_t bytes,
                     float seconds); // "%d%% %0.1fMB %0.1fSec"
