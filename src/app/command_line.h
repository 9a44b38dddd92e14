// The command line.
// - The install switch: an argument whose first character is '/' and whose
//   second is 'I' in either case ("/I", "/i", "/Install").
// - The loopback self-test: a first argument "/loopback" (in any case), then
//   an optional report folder and any number of "/format RATE,CHANNELS,BITS"
//   and "/seconds N" (the pilot's length). The whole command line is then the
//   self-test's: the install switch is not looked for in it.
#pragma once

#include <string>
#include <vector>

#include "selftest/loopback_report.h"

bool IsInstallSwitch(const char* arg);
// Examines every argument after the program name.
bool HasInstallSwitch(int argc, const char* const* argv);

struct LoopbackCommand {
    bool present = false; // the first argument is /loopback
    std::string error;    // what is wrong with the rest; empty when nothing
    std::string folder = "loopback-report";
    std::vector<LoopbackFormat> formats; // empty: the default three
    double seconds = 30;                 // the pilot's length
};

LoopbackCommand ParseLoopbackCommand(int argc, const char* const* argv);
