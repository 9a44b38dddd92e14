#!/bin/bash
# Runs the loopback self-test of the real mirravox.exe on the null sink (a
# digital loopback) with a short pilot and checks report.json: 44.1 or 48 kHz
# 16-bit comes back exact (Wine's runs of silence may fall into the sine of
# one of them); no drift within one sink; at 96 kHz 24-bit every low bit
# changes (the sink resamples) but the ENOB and the verdict say what the path
# carries; every figure has its unit, every jump its kind and time, and the
# counts agree with the jumps listed.
#   check_loopback.sh MIRRAVOX_EXE WORK_FOLDER
set -uo pipefail
EXE="$1"
WORK="$2"
rm -rf "$WORK"
mkdir -p "$WORK"

wine "$EXE" /loopback "Z:$(echo "$WORK" | tr / '\\')" /seconds 2 /format 44100,2,16 /format 48000,2,16 /format 96000,2,24
code=$?
echo "check_loopback: exit code $code"
if [ "$code" -eq 2 ]; then
    grep -h why_not "$WORK/report.json"
    echo "check_loopback: no sound device to measure: skipped"
    exit 0
fi
[ "$code" -eq 0 ] || [ "$code" -eq 1 ] || { echo "check_loopback: exit code $code"; exit 1; }
for f in report.json report.txt report.html; do [ -s "$WORK/$f" ] || { echo "check_loopback: no $f"; exit 1; }; done

python3 - "$WORK/report.json" "$code" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
code = int(sys.argv[2])
problems = []
def check(ok, what):
    if not ok: problems.append(what)

check(report["exit_code"] == code, "exit code %d in the report, %d returned" % (report["exit_code"], code))
formats = {(f["rate"]["value"], f["bits"]["value"]): f for f in report["formats"]}
for f in report["formats"]:
    name = "%d Hz %d bits" % (f["rate"]["value"], f["bits"]["value"])
    check(f["ran"], name + " did not run: " + f.get("why_not", ""))
    for key, fig in f["figures"].items():
        check(set(fig) == {"value", "unit"} and fig["unit"], "%s: %s has no unit" % (name, key))
    for j in f["jumps"]:
        check(j["kind"] in ("gap", "repeat", "click") and j["time"]["unit"] == "s", name + ": a jump without kind or time")
    fig = {k: v["value"] for k, v in f["figures"].items()}
    verdict = {c["key"]: c for c in f["checks"]}
    if "analysis" in verdict:  # a run of silence hid the marker: nothing measured, and the verdicts say so
        check(not verdict["latency"]["pass"] and not verdict["analysis"]["pass"] and not f["passed"] and
              set(fig) == {"recorded_seconds", "marker_margin_db"}, name + ": no marker, yet %s" % f)
        print("%s: %s" % (name, verdict["latency"]["measured"]))
        continue
    check(fig["marker_margin_db"] >= 10, name + ": latency marker margin %s dB" % fig["marker_margin_db"])
    if "gaps" in fig:
        for key, kind in (("gaps", "gap"), ("repeats", "repeat"), ("clicks", "click")):
            check(fig[key] == sum(j["kind"] == kind for j in f["jumps"]), name + ": the %s counted are not those listed" % key)
        check(abs(fig["drift_ppm"]) <= 1, name + ": drift %s ppm between output and input of one sink" % fig["drift_ppm"])
    else:  # a run of silence hid the pilot: no pilot figures, and the verdict says so
        check(verdict["gaps"]["measured"] == "pilot not found" and not verdict["gaps"]["pass"], name + ": no pilot")
    print("%s: latency %s ms, gaps %s, repeats %s, capture clock %s ppm, drift %s ppm, level %s dBFS, THD+N %s dB, "
          "ENOB %s, bits changing %d" % (name, fig["latency_ms"], verdict["gaps"]["measured"], fig.get("repeats"),
          fig["capture_clock_ppm"], fig.get("drift_ppm"), fig["level_dbfs"], fig["thdn_db"], fig["enob_bits"],
          fig["bits_changing"]))
    for j in f["jumps"]:
        print("  %s at %.4f s, silent %d, lost %s samples" % (j["kind"], j["time"]["value"], j["silent"]["value"], j["lost"]["value"]))

def exact(rate):
    f = {k: v["value"] for k, v in formats[(rate, 16)]["figures"].items()}
    return ("enob_bits" in f and abs(f["level_dbfs"] + 1) <= 0.05 and f["thdn_db"] <= -95 and f["enob_bits"] >= 15.9
            and f["bits_changing"] == 16)
check(exact(44100) or exact(48000), "neither 44.1 nor 48 kHz 16-bit came back exact")
hi = {k: v["value"] for k, v in formats[(96000, 24)]["figures"].items()}
if "enob_bits" in hi:
    check(hi["bits_changing"] == 24, "96 kHz: the resampled low bits should all change")
    check(hi["enob_bits"] <= 16, "96 kHz 24-bit: ENOB %s, more than the sink's 16-bit path" % hi["enob_bits"])
    check(hi["effective_bits"] < 16.5, "96 kHz 24-bit claims %s bits" % hi["effective_bits"])
    enob = [c for c in formats[(96000, 24)]["checks"] if c["key"] == "enob"][0]
    check(not enob["pass"], "96 kHz 24-bit: the ENOB verdict passes a 16-bit path")
for p in problems:
    print("check_loopback: " + p)
sys.exit(1 if problems else 0)
PY
