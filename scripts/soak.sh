#!/bin/bash
# The soak run: scripts/soak.sh --minutes N [--build DIR]
# mirravox.exe records and plays the 1 kHz sine at the same time under Wine,
# through the null sink's loopback, at 48 kHz 16-bit stereo, for N minutes,
# with the display running (tests/e2e: Reliability.Soak). The program writes
# its diagnostic line every second (MIRRAVOX_DIAGNOSTICS); this script
# samples it every minute and ends with a verdict:
#   - byte totals against the program's clock, after the first 5 s: each
#     minute's input and output rates within 0.5 % of 192000 bytes/s;
#   - memory (private bytes and resident set, which Wine reads from /proc),
#     GDI objects and handles flat after the first minute (at most 4 MiB,
#     5 objects, 10 handles above the minute-1 values);
#   - the saved recording store: the looped-back tone, every frame equal to
#     the frame one period (48 frames) before it, except at the dropouts,
#     which are counted and reported separately.
# --build runs a copy built before (mirravox.exe, tests/e2e/e2e_tests.exe)
# in its own Wine prefix and sound server, so that a long run can go on
# beside other work. --realtime (root) runs Wine, the program and that sound
# server at real-time priority (round robin, 10), so that other work on the
# machine cannot starve Wine's sound path. Files: <build>/soak/ (diag log,
# recording, report). Exit 0 on PASS.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
MINUTES=2
BUILD=""
REALTIME=()
while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) MINUTES="$2"; shift 2 ;;
    --build) BUILD="$(cd "$2" && pwd)"; shift 2 ;;
    --realtime) REALTIME=(chrt -r 10); shift ;;
    *) echo "usage: soak.sh --minutes N [--build DIR] [--realtime]" >&2; exit 2 ;;
    esac
done

if [ -z "$BUILD" ]; then
    BUILD="$ROOT/build/mingw"
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw --target mirravox e2e_tests >/dev/null
fi
WORK="$BUILD/soak"
mkdir -p "$WORK"
rm -f "$WORK/soak.diag" "$WORK/soak.wav"
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

MIRRAVOX_SOAK_SECONDS=$((MINUTES * 60)) MIRRAVOX_SOAK_WAV="$(winpath "$WORK/soak.wav")" \
    MIRRAVOX_SOAK_DIAG="$(winpath "$WORK/soak.diag")" \
    "${REALTIME[@]}" bash scripts/wine-env.sh --build "$BUILD" wine "$BUILD/tests/e2e/e2e_tests.exe" \
    --gtest_filter=Reliability.Soak >"$WORK/driver.log" 2>&1 &
DRIVER=$!
# The sound server sets its own scheduling as it starts: raise all its
# threads once it is there (the one serving this build's runtime folder).
raise_sound_server() {
    local pid found=1
    for pid in $(pgrep -x pulseaudio); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$BUILD/pulse-runtime"; then
            chrt -a -r -p 10 "$pid" >/dev/null && found=0
        fi
    done
    return $found
}
if [ ${#REALTIME[@]} -gt 0 ]; then
    raised=0
    for _ in $(seq 1 300); do raise_sound_server && { raised=1; break; }; sleep 0.1; done
    [ $raised = 1 ] || echo "soak: the sound server's priority could not be raised" >&2
fi
# A sample every minute while it runs, as the run goes.
for ((m = 1; m <= MINUTES; m++)); do
    sleep 60
    echo "soak minute $m: $(tail -1 "$WORK/soak.diag" 2>/dev/null || echo '(no diagnostic line yet)')"
done
driver_ok=1
wait "$DRIVER" || driver_ok=0
grep -E "^\[  (FAILED|PASSED|SKIPPED)|Failure" "$WORK/driver.log" || true

python3 - "$WORK/soak.diag" "$WORK/soak.wav" "$driver_ok" <<'PY' | tee "$WORK/report.txt"
import re, struct, sys
diag, wav, driver_ok = sys.argv[1], sys.argv[2], sys.argv[3] == "1"
NOMINAL = 48000 * 4
lines = []
for line in open(diag):
    m = dict(re.findall(r"(\w+)=(-?\d+)", line))
    if "ms" in m:
        lines.append({k: int(v) for k, v in m.items()})
ok = driver_ok
if not driver_ok:
    print("driver: the run did not complete (see driver.log)")
if len(lines) < 10:
    print("FAIL: %d diagnostic lines" % len(lines)); sys.exit(1)

def at(ms):  # the line nearest a moment
    return min(lines, key=lambda l: abs(l["ms"] - ms))

end_ms = lines[-1]["ms"]
marks = [5000] + list(range(60000, end_ms + 1, 60000))
if marks[-1] < end_ms - 5000: marks.append(end_ms)
print("minute  in B/s     dev %   out B/s    dev %   private MiB  rss MiB  gdi  handles")
for a, b in zip(marks, marks[1:]):
    la, lb = at(a), at(b)
    secs = (lb["ms"] - la["ms"]) / 1000.0
    rin, rout = (lb["in"] - la["in"]) / secs, (lb["out"] - la["out"]) / secs
    din, dout = 100.0 * (rin - NOMINAL) / NOMINAL, 100.0 * (rout - NOMINAL) / NOMINAL
    print("%5.1f  %9.0f  %+6.2f  %9.0f  %+6.2f  %10.1f  %7.1f  %4d  %6d" % (
        lb["ms"] / 60000.0, rin, din, rout, dout, lb["private"] / 2**20, lb["rss"] / 2**20, lb["gdi"], lb["handles"]))
    if abs(din) > 0.5 or abs(dout) > 0.5:
        ok = False
first = at(60000) if end_ms >= 60000 else lines[0]
last = lines[-1]
growth = {k: last[k] - first[k] for k in ("private", "rss", "gdi", "handles")}
print("after minute 1: private %+.1f MiB, rss %+.1f MiB, GDI %+d, handles %+d" % (
    growth["private"] / 2**20, growth["rss"] / 2**20, growth["gdi"], growth["handles"]))
if growth["private"] > 4 * 2**20 or growth["rss"] > 4 * 2**20 or growth["gdi"] > 5 or growth["handles"] > 10:
    ok = False

# The recording: 16-bit stereo frames; the sine repeats every 48 frames.
data = open(wav, "rb").read() if driver_ok else b""
at_data = data.find(b"data")
if at_data < 0:
    print("FAIL: no recording"); sys.exit(1)
frames = data[at_data + 8:]
frames = [frames[i:i + 4] for i in range(0, len(frames) - 3, 4)]
start = next((i for i, f in enumerate(frames) if f != b"\0\0\0\0"), len(frames))
sound = frames[start:]
breaks, previous = 0, False
for i in range(48, len(sound)):
    bad = sound[i] != sound[i - 48]
    breaks += bad and not previous
    previous = bad
secs = len(sound) / 48000.0
peak = max((abs(struct.unpack("<h", f[:2])[0]) for f in sound[:4800]), default=0)
print("recording store: %.1f s of sound (peak %d) after %.2f s of silence; %d dropouts (Wine's: the tone's period broken)" % (
    secs, peak, start / 48000.0, breaks))
if secs < 1.0 or peak < 1000:
    ok = False
print("VERDICT: " + ("PASS" if ok else "FAIL"))
sys.exit(0 if ok else 1)
PY
