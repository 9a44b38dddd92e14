#!/bin/bash
# Runs the loopback self-test of the real mirravox.exe on the null sink (a
# digital loopback) with a short pilot and checks report.json: 44.1 or 48 kHz
# 16-bit comes back exact (Wine's runs of silence may fall into the sine of
# one of them); no drift within one sink; at 96 kHz 24-bit every low bit
# changes (the sink resamples) but the ENOB and the verdict say what the path
# carries; every jump has its kind and time, and the counts agree with the
# jumps listed.
#   check_loopback.sh MIRRAVOX_EXE WORK_FOLDER
set -uo pipefail
WORK="$2"
rm -rf "$WORK" && mkdir -p "$WORK"
wine "$1" /loopback "Z:$(echo "$WORK" | tr / '\\')" /seconds 2 /format 44100,2,16 /format 48000,2,16 /format 96000,2,24
code=$?
echo "check_loopback: exit code $code"
if [ "$code" -eq 2 ]; then
    grep -h why_not "$WORK/report.json"
    echo "check_loopback: no sound device to measure: skipped" && exit 0
fi
[ "$code" -le 1 ] || exit 1
for f in report.json report.txt report.html; do [ -s "$WORK/$f" ] || { echo "check_loopback: no $f"; exit 1; }; done

python3 - "$WORK/report.json" "$code" <<'PY'
import json, sys
report, code, problems = json.load(open(sys.argv[1])), int(sys.argv[2]), []
def check(ok, what):
    if not ok: problems.append(what)
check(report["exit_code"] == code, "exit code %d in the report, %d returned" % (report["exit_code"], code))
formats = {(f["rate"]["value"], f["bits"]["value"]): f for f in report["formats"]}
figures = {k: {n: v["value"] for n, v in f["figures"].items()} for k, f in formats.items()}
for key, f in formats.items():
    name, fig, verdict = "%d Hz %d bits" % key, figures[key], {c["key"]: c for c in f["checks"]}
    check(f["ran"], name + " did not run: " + f.get("why_not", ""))
    for j in f["jumps"]:
        check(j["kind"] in ("gap", "repeat", "click") and j["time"]["unit"] == "s", name + ": a jump without kind or time")
    print("%s: %s" % (name, fig))
    if "analysis" in verdict:  # a run of silence hid the marker: nothing measured, and the verdicts say so
        check(not verdict["latency"]["pass"] and not verdict["analysis"]["pass"] and not f["passed"] and
              set(fig) == {"recorded_seconds", "marker_margin_db"}, name + ": no marker, yet %s" % f)
        continue
    check(fig["marker_margin_db"] >= 10, name + ": latency marker margin %s dB" % fig["marker_margin_db"])
    if "gaps" in fig:
        for k, kind in (("gaps", "gap"), ("repeats", "repeat"), ("clicks", "click")):
            check(fig[k] == sum(j["kind"] == kind for j in f["jumps"]), name + ": the %s counted are not those listed" % k)
        check(abs(fig["drift_ppm"]) <= 1, name + ": drift %s ppm between output and input of one sink" % fig["drift_ppm"])
    else:  # a run of silence hid the pilot: no pilot figures, and the verdict says so
        check(verdict["gaps"]["measured"] == "pilot not found" and not verdict["gaps"]["pass"], name + ": no pilot")

def exact(f):
    return ("enob_bits" in f and abs(f["level_dbfs"] + 1) <= 0.05 and f["thdn_db"] <= -95 and f["enob_bits"] >= 15.9
            and f["bits_changing"] == 16)
check(exact(figures[(44100, 16)]) or exact(figures[(48000, 16)]), "neither 44.1 nor 48 kHz 16-bit came back exact")
hi = figures[(96000, 24)]
if "enob_bits" in hi:
    check(hi["bits_changing"] == 24, "96 kHz: the resampled low bits should all change")
    check(hi["enob_bits"] <= 16, "96 kHz 24-bit: ENOB %s, more than the sink's 16-bit path" % hi["enob_bits"])
    check(hi["effective_bits"] < 16.5, "96 kHz 24-bit claims %s bits" % hi["effective_bits"])
    check(not [c for c in formats[(96000, 24)]["checks"] if c["key"] == "enob"][0]["pass"],
          "96 kHz 24-bit: the ENOB verdict passes a 16-bit path")
for p in problems:
    print("check_loopback: " + p)
sys.exit(1 if problems else 0)
PY
