#include "selftest/report_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

const char* Verdict(int exitCode) { return exitCode == 0 ? "pass" : exitCode == 1 ? "fail" : "could not run"; }

const char* KindName(JumpKind k) { return k == JumpKind::Gap ? "gap" : k == JumpKind::Repeat ? "repeat" : "click"; }

std::string Number(double v, int decimals)
{
    if (!std::isfinite(v)) return "null";
    char buf[64];
    // A value that rounds to zero is shown as zero, not "-0.0".
    std::snprintf(buf, sizeof(buf), "%.*f", decimals, std::fabs(v) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : v);
    return buf;
}

std::string Quoted(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::string Measure(double v, int decimals, const std::string& unit)
{
    return "{\"value\": " + Number(v, decimals) + ", \"unit\": " + Quoted(unit) + "}";
}

std::string Shown(const Figure& f)
{
    if (!std::isfinite(f.value)) return f.text.empty() ? "none" : f.text;
    return Number(f.value, f.decimals) + (f.unit == "count" || f.unit == "flag" ? "" : " " + f.unit);
}

std::string Escaped(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out += c;
    }
    return out;
}

std::string JumpLine(const PilotJump& j)
{
    char buf[200];
    std::snprintf(buf, sizeof(buf), "%-6s at %8.4f s  silent %6lld  shift %s  lost %s", KindName(j.kind), j.seconds,
                  static_cast<long long>(j.silent), Number(j.shift, 1).c_str(), Number(j.lost, 1).c_str());
    return buf;
}

// ---------------------------------------------------------------- SVG plots

struct Plot {
    double x0, x1, y0, y1; // data range
    bool logX;
    static constexpr double kW = 640, kH = 260, kLeft = 56, kRight = 12, kTop = 12, kBottom = 36;
    double X(double x) const
    {
        const double t = logX ? (std::log(x) - std::log(x0)) / (std::log(x1) - std::log(x0)) : (x - x0) / (x1 - x0);
        return kLeft + t * (kW - kLeft - kRight);
    }
    double Y(double y) const
    {
        const double t = (std::clamp(y, y0, y1) - y0) / (y1 - y0);
        return kH - kBottom - t * (kH - kTop - kBottom);
    }
};

std::string Svg(const Plot& p, const std::vector<std::pair<double, double>>& xy, const std::vector<double>& xTicks,
                const std::vector<double>& yTicks, const std::string& xLabel, const std::string& yLabel)
{
    std::ostringstream s;
    s << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Plot::kW << "\" height=\"" << Plot::kH
      << "\" class=\"plot\">\n";
    s << "<rect x=\"" << Plot::kLeft << "\" y=\"" << Plot::kTop << "\" width=\""
      << Plot::kW - Plot::kLeft - Plot::kRight << "\" height=\"" << Plot::kH - Plot::kTop - Plot::kBottom
      << "\" fill=\"#fbfbfb\" stroke=\"#999\"/>\n";
    for (double t : xTicks) {
        char label[32];
        std::snprintf(label, sizeof(label), t >= 1000 ? "%.0fk" : "%.0f", t >= 1000 ? t / 1000 : t);
        s << "<line x1=\"" << p.X(t) << "\" y1=\"" << Plot::kTop << "\" x2=\"" << p.X(t) << "\" y2=\""
          << Plot::kH - Plot::kBottom << "\" stroke=\"#ddd\"/><text x=\"" << p.X(t) << "\" y=\""
          << Plot::kH - Plot::kBottom + 14 << "\" text-anchor=\"middle\">" << label << "</text>\n";
    }
    for (double t : yTicks)
        s << "<line x1=\"" << Plot::kLeft << "\" y1=\"" << p.Y(t) << "\" x2=\"" << Plot::kW - Plot::kRight << "\" y2=\""
          << p.Y(t) << "\" stroke=\"#ddd\"/><text x=\"" << Plot::kLeft - 4 << "\" y=\"" << p.Y(t) + 4
          << "\" text-anchor=\"end\">" << Number(t, std::fabs(t) < 2 && t != std::round(t) ? 1 : 0) << "</text>\n";
    s << "<polyline fill=\"none\" stroke=\"#1a5fb4\" stroke-width=\"1.2\" points=\"";
    for (const auto& [x, y] : xy) s << Number(p.X(x), 1) << "," << Number(p.Y(y), 1) << " ";
    s << "\"/>\n<text x=\"" << (Plot::kLeft + Plot::kW - Plot::kRight) / 2 << "\" y=\"" << Plot::kH - 4
      << "\" text-anchor=\"middle\">" << xLabel << "</text>\n<text x=\"12\" y=\""
      << (Plot::kTop + Plot::kH - Plot::kBottom) / 2 << "\" transform=\"rotate(-90 12 "
      << (Plot::kTop + Plot::kH - Plot::kBottom) / 2 << ")\" text-anchor=\"middle\">" << yLabel << "</text>\n</svg>\n";
    return s.str();
}

std::string ImpulsePlot(const FormatReport& f)
{
    if (f.impulse.empty()) return "<p>No impulse response: the marker was not found.</p>\n";
    std::vector<std::pair<double, double>> xy;
    double low = -0.2, high = 1.1;
    for (size_t i = 0; i < f.impulse.size(); ++i) {
        xy.push_back({double(f.impulseFirstLag + int(i)), f.impulse[i]});
        low = std::min(low, f.impulse[i] - 0.05);
        high = std::max(high, f.impulse[i] + 0.05);
    }
    const Plot p{xy.front().first, xy.back().first, low, high, false};
    std::vector<double> xt, yt;
    for (int t = -32; t <= 96; t += 16) xt.push_back(t);
    for (double t = std::ceil(low * 2) / 2; t <= high; t += 0.5) yt.push_back(t);
    return Svg(p, xy, xt, yt, "lag from the latency peak (samples)", "response");
}

std::string SpectrumPlot(const FormatReport& f)
{
    if (f.spectrum.empty()) return "<p>No spectrum: the sine was not found.</p>\n";
    std::vector<std::pair<double, double>> xy;
    double low = 0;
    for (const SpectrumPoint& s : f.spectrum) {
        xy.push_back({s.hz, s.dbfs});
        low = std::min(low, s.dbfs);
    }
    low = std::max(-200.0, std::floor(low / 20) * 20);
    const Plot p{20, f.format.rate / 2.0, low, 0, true};
    std::vector<double> xt, yt;
    for (double t : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0, 40000.0})
        if (t <= f.format.rate / 2.0) xt.push_back(t);
    for (double t = 0; t >= low; t -= 20) yt.push_back(t);
    return Svg(p, xy, xt, yt, "frequency (Hz)", "dBFS");
}

} // namespace

std::string ReportJson(const LoopbackReport& report)
{
    std::ostringstream s;
    s << "{\n  \"program\": \"Mirravox loopback self-test\",\n";
    s << "  \"exit_code\": " << report.ExitCode() << ",\n  \"verdict\": " << Quoted(Verdict(report.ExitCode()))
      << ",\n";
    if (!report.whyNot.empty()) s << "  \"why_not\": " << Quoted(report.whyNot) << ",\n";
    s << "  \"input_device\": " << report.inputDevice << ",\n  \"output_device\": " << report.outputDevice << ",\n";
    s << "  \"pilot_seconds\": " << Measure(report.pilotSeconds, 3, "s") << ",\n  \"formats\": [";
    for (size_t i = 0; i < report.formats.size(); ++i) {
        const FormatReport& f = report.formats[i];
        s << (i ? "," : "") << "\n    {\n      \"rate\": " << Measure(f.format.rate, 0, "Hz")
          << ",\n      \"channels\": " << Measure(f.format.channels, 0, "channels")
          << ",\n      \"bits\": " << Measure(f.format.bits, 0, "bits")
          << ",\n      \"ran\": " << (f.ran ? "true" : "false")
          << ",\n      \"passed\": " << (f.Passed() ? "true" : "false");
        if (!f.ran) s << ",\n      \"why_not\": " << Quoted(f.whyNot);
        s << ",\n      \"figures\": {";
        for (size_t k = 0; k < f.figures.size(); ++k)
            s << (k ? "," : "") << "\n        " << Quoted(f.figures[k].key) << ": "
              << Measure(f.figures[k].value, f.figures[k].decimals ? f.figures[k].decimals + 1 : 0, f.figures[k].unit);
        s << "\n      },\n      \"checks\": [";
        for (size_t k = 0; k < f.checks.size(); ++k) {
            const Check& c = f.checks[k];
            s << (k ? "," : "") << "\n        {\"key\": " << Quoted(c.key) << ", \"name\": " << Quoted(c.label)
              << ", \"measured\": " << Quoted(c.measured) << ", \"threshold\": " << Quoted(c.threshold)
              << ", \"pass\": " << (c.pass ? "true" : "false") << "}";
        }
        s << "\n      ],\n      \"jumps\": [";
        for (size_t k = 0; k < f.jumps.size(); ++k) {
            const PilotJump& j = f.jumps[k];
            s << (k ? "," : "") << "\n        {\"kind\": " << Quoted(KindName(j.kind))
              << ", \"time\": " << Measure(j.seconds, 4, "s")
              << ", \"silent\": " << Measure(double(j.silent), 0, "samples")
              << ", \"shift\": " << Measure(j.shift, 1, "samples") << ", \"lost\": " << Measure(j.lost, 1, "samples")
              << "}";
        }
        s << (f.jumps.empty() ? "]" : "\n      ]") << "\n    }";
    }
    s << "\n  ]\n}\n";
    return s.str();
}

std::string ReportText(const LoopbackReport& report)
{
    std::ostringstream s;
    s << "Mirravox loopback self-test: " << Verdict(report.ExitCode()) << " (exit code " << report.ExitCode() << ")\n";
    if (!report.whyNot.empty()) s << report.whyNot << "\n";
    for (const FormatReport& f : report.formats) {
        s << "\n" << FormatName(f.format) << ": " << (f.ran ? (f.Passed() ? "pass" : "fail") : "could not run") << "\n";
        if (!f.ran) s << "  " << f.whyNot << "\n";
        for (const Check& c : f.checks) {
            char line[300];
            std::snprintf(line, sizeof(line), "  %-4s %-46s %-34s (%s)\n", c.pass ? "ok" : "FAIL", c.label.c_str(),
                          c.measured.c_str(), c.threshold.c_str());
            s << line;
        }
        const size_t shown = std::min<size_t>(f.jumps.size(), 10);
        for (size_t k = 0; k < shown; ++k) s << "       " << JumpLine(f.jumps[k]) << "\n";
        if (f.jumps.size() > shown) s << "       ... " << f.jumps.size() - shown << " more in report.json\n";
    }
    return s.str();
}

std::string ReportHtml(const LoopbackReport& report)
{
    std::ostringstream s;
    const int code = report.ExitCode();
    s << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<title>Mirravox loopback report</title>\n<style>\n"
         "body{font-family:sans-serif;margin:24px;color:#222;max-width:1000px}\n"
         "table{border-collapse:collapse;margin:8px 0 16px}td,th{border:1px solid #ccc;padding:3px "
         "8px;text-align:left}\n"
         "th{background:#eee}.pass{color:#1e7b1e;font-weight:bold}.fail{color:#b00;font-weight:bold}\n"
         ".plot text{font-size:11px;fill:#333}.plots{display:flex;flex-wrap:wrap;gap:16px}\n"
         "h2{border-bottom:2px solid #ccc;padding-bottom:4px;margin-top:32px}\n</style>\n</head>\n<body>\n";
    s << "<h1>Mirravox loopback self-test</h1>\n<p>Overall: <span class=\"" << (code == 0 ? "pass" : "fail") << "\">"
      << Verdict(code) << "</span> (exit code " << code << "). Input device " << report.inputDevice
      << ", output device " << report.outputDevice << " (4294967295: the system's default). Pilot "
      << Number(report.pilotSeconds, 1) << " s.</p>\n"
      << "<p>Levels in dBFS: 0 dBFS is a full-scale sine. Every channel plays the same sound; the left one is "
         "measured. Latency: from the program handing the marker's block to the output device to the input handing "
         "the marker back, on the performance counter; it includes the 8 blocks queued at the output.</p>\n";
    if (!report.whyNot.empty()) s << "<p class=\"fail\">" << Escaped(report.whyNot) << "</p>\n";
    for (const FormatReport& f : report.formats) {
        s << "<h2>" << FormatName(f.format) << ": <span class=\"" << (f.Passed() ? "pass" : "fail") << "\">"
          << (f.ran ? (f.Passed() ? "pass" : "fail") : "could not run") << "</span></h2>\n";
        if (!f.ran) {
            s << "<p>" << Escaped(f.whyNot) << "</p>\n";
            continue;
        }
        s << "<table>\n<tr><th>Measurement</th><th>Measured</th><th>Threshold</th><th>Verdict</th></tr>\n";
        for (const Check& c : f.checks)
            s << "<tr><td>" << Escaped(c.label) << "</td><td>" << Escaped(c.measured) << "</td><td>"
              << Escaped(c.threshold) << "</td><td class=\"" << (c.pass ? "pass\">pass" : "fail\">fail")
              << "</td></tr>\n";
        s << "</table>\n<details><summary>All figures</summary>\n<table>\n<tr><th>Figure</th><th>Value</th></tr>\n";
        for (const Figure& fig : f.figures)
            s << "<tr><td>" << Escaped(fig.label) << "</td><td>" << Escaped(Shown(fig)) << "</td></tr>\n";
        s << "</table>\n</details>\n";
        if (!f.jumps.empty()) {
            s << "<p>Jumps in the pilot (time into the pilot; shift: pilot samples the sound after it is ahead (+) or "
                 "behind (-); lost: sound lost (+) or heard again (-)):</p>\n<table>\n"
                 "<tr><th>Kind</th><th>Time (s)</th><th>Silent (samples)</th><th>Shift (samples)</th>"
                 "<th>Lost (samples)</th></tr>\n";
            const size_t shown = std::min<size_t>(f.jumps.size(), 40);
            for (size_t k = 0; k < shown; ++k) {
                const PilotJump& j = f.jumps[k];
                s << "<tr><td>" << KindName(j.kind) << "</td><td>" << Number(j.seconds, 4) << "</td><td>" << j.silent
                  << "</td><td>" << Number(j.shift, 1) << "</td><td>" << Number(j.lost, 1) << "</td></tr>\n";
            }
            s << "</table>\n";
            if (f.jumps.size() > shown) s << "<p>... and " << f.jumps.size() - shown << " more in report.json.</p>\n";
        }
        s << "<div class=\"plots\">\n<figure><figcaption>Impulse response around the latency peak</figcaption>\n"
          << ImpulsePlot(f) << "</figure>\n<figure><figcaption>Spectrum of the 997 Hz sine</figcaption>\n"
          << SpectrumPlot(f) << "</figure>\n</div>\n";
    }
    s << "</body>\n</html>\n";
    return s.str();
}

bool WriteReports(const LoopbackReport& report, const std::string& folder, std::string* error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::pair<const char*, std::string> files[] = {
        {"report.json", ReportJson(report)}, {"report.txt", ReportText(report)}, {"report.html", ReportHtml(report)}};
    for (const auto& [name, text] : files) {
        const std::string path = (std::filesystem::path(folder) / name).string();
        std::ofstream out(path, std::ios::binary);
        out << text;
        if (!out) {
            if (error) *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
