#!/bin/bash
# CPU of mirravox.exe and of this prefix's wineserver over 30 s of recording
# in the waveform view and in the spectrum view, from /proc (utime + stime).
#   bash scripts/wine-env.sh bash bench/win/whole_program_cpu.sh
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
OUT="$(mktemp)"
wine "$ROOT/build/mingw/bench/win/whole_program.exe" >"$OUT" 2>/dev/null &
DRIVER=$!

# The process of that name that runs in our Wine prefix (other prefixes may
# run one too).
ours() {
    for pid in $(pgrep -x "$1"); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"; return
        fi
    done
}
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

for view in waveform spectrum; do
    while ! grep -q "MEASURE $view" "$OUT"; do
        kill -0 "$DRIVER" 2>/dev/null || { echo "the driver ended early" >&2; exit 1; }
        sleep 0.5
    done
    app=$(ours mirravox.exe); server=$(ours wineserver64)
    [ -n "$app" ] && [ -n "$server" ] || { echo "mirravox.exe or its wineserver not found" >&2; exit 1; }
    a0=$(ticks "$app"); s0=$(ticks "$server")
    sleep 30
    a1=$(ticks "$app"); s1=$(ticks "$server")
    awk -v v="$view" -v a=$((a1 - a0)) -v s=$((s1 - s0)) -v hz="$hz" \
        'BEGIN { printf "%-9s mirravox.exe %5.1f %%  wineserver %5.1f %% of one core\n", v, 100 * a / hz / 30, 100 * s / hz / 30 }'
done
wait "$DRIVER"
rm -f "$OUT"
