#!/bin/bash
# Fuzzes one parser with libFuzzer: scripts/fuzz.sh TARGET SECONDS [RUNS]
#   TARGET   position_file, tone_fields, midi_check or wav_check (fuzz/<TARGET>_fuzz.cpp)
#   SECONDS  the time limit
#   RUNS     optional: stop after this many executions instead (SECONDS still caps it)
# Starts from the seeds in fuzz/corpus/TARGET and keeps what it finds in
# build/fuzz/corpus/TARGET. A crash, a sanitizer report, a hang (10 s per
# input) or a leak fails it; the input that did it is left in build/fuzz/.
# Ends with the line "fuzz TARGET: N runs in S s, M corpus inputs".
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
TARGET="${1:?target: position_file, tone_fields, midi_check or wav_check}"
SECONDS_LIMIT="${2:?seconds}"
RUNS="${3:--1}"
[ -f "fuzz/${TARGET}_fuzz.cpp" ] || { echo "fuzz: no target $TARGET" >&2; exit 2; }

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "fuzz_$TARGET" >/dev/null
WORK="build/fuzz/corpus/$TARGET"
mkdir -p "$WORK"
LOG="build/fuzz/$TARGET.log"
start=$(date +%s)
(cd build/fuzz && "./fuzz/fuzz_$TARGET" -max_total_time="$SECONDS_LIMIT" -runs="$RUNS" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 "$ROOT/$WORK" "$ROOT/fuzz/corpus/$TARGET") >"$LOG" 2>&1 || {
    tail -40 "$LOG"
    echo "fuzz $TARGET: FAILED (log: $LOG)"
    exit 1
}
runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$LOG" | grep -o '[0-9]*$')
echo "fuzz $TARGET: $runs runs in $(($(date +%s) - start)) s, $(ls "$WORK" | wc -l) corpus inputs"
