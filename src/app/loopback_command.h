// mirravox.exe /loopback: the self-test without a window. Chooses the
// devices by the default rule, runs every format, writes the three report
// files and returns the exit code (0 all pass, 1 one fails, 2 could not run).
#pragma once

#include "app/command_line.h"

int RunLoopbackCommand(const LoopbackCommand& command);
