#include "app/loopback_command.h"

#include <cstdio>

#include "devices/device_lists.h"
#include "selftest/loopback_run.h"
#include "selftest/report_writers.h"
#include "state/session_state.h"

int RunLoopbackCommand(const LoopbackCommand& command)
{
    LoopbackReport report;
    if (command.error.empty()) {
        ChooseDefaultDevices();
        LoopbackOptions options;
        options.formats = command.formats.empty() ? DefaultLoopbackFormats() : command.formats;
        options.times.pilotSeconds = command.seconds;
        report = RunLoopback(options);
    } else {
        report.inputDevice = g_nInputDeviceId;
        report.outputDevice = g_nOutputDeviceId;
        report.whyNot = command.error;
    }
    std::string error;
    const bool written = WriteReports(report, command.folder, &error);
    std::fputs(ReportText(report).c_str(), stdout);
    if (!written) {
        std::fprintf(stderr, "mirravox: %s\n", error.c_str());
        return 2;
    }
    std::printf("Report: %s\n", command.folder.c_str());
    std::fflush(stdout);
    return report.ExitCode();
}
