// The three files of a loopback report: report.json (every figure with its
// unit), report.txt (short) and report.html (figures, a verdict per line
// against its threshold, the impulse response and the sine's spectrum as
// inline SVG).
#pragma once

#include <string>

#include "selftest/loopback_report.h"

std::string ReportJson(const LoopbackReport& report);
std::string ReportText(const LoopbackReport& report);
std::string ReportHtml(const LoopbackReport& report);

// Makes the folder if needed and writes the three files; false with the
// reason when one cannot be written.
bool WriteReports(const LoopbackReport& report, const std::string& folder, std::string* error);
