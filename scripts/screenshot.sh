#!/bin/bash
# Inside the Wine environment: starts mirravox.exe, waits for its main
# window, saves a screenshot of the screen and closes the program.
#   scripts/screenshot.sh OUTPUT.png [ARGS...]
set -uo pipefail
OUT="$1"; shift
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

wine "$ROOT/build/mingw/mirravox.exe" "$@" &
PID=$!
found=""
for _ in $(seq 1 150); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Keldane Mirravox"'; then found=1; break; fi
    sleep 0.1
done
if [ -z "$found" ]; then
    echo "run: the main window did not appear" >&2
    kill "$PID" 2>/dev/null; wait "$PID" 2>/dev/null
    exit 1
fi
sleep 1 # let the window finish painting before the picture is taken
import -window root -crop "$(xwininfo -name 'Keldane Mirravox' | awk '/Width:/{w=$2}/Height:/{h=$2}/Absolute upper-left X:/{x=$4}/Absolute upper-left Y:/{y=$4}END{print w "x" h "+" x "+" y}')" "$OUT"
echo "Mirravox ran on a virtual display; its main window is in $OUT"
kill "$PID" 2>/dev/null
wait "$PID" 2>/dev/null
exit 0
