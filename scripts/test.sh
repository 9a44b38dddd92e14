#!/bin/bash
# Checks the source layout, then builds (warnings are errors) and runs every
# test: the native unit tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, the threaded ones again under
# ThreadSanitizer, the parsers under libFuzzer, then, under Wine, the in-process Windows
# tests and the end-to-end tests of the real mirravox.exe, and a short soak run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh

echo "== source layout (.clang-format)"
bash scripts/format.sh --check

echo "== native unit tests (ASan, UBSan)"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
ctest --preset native-asan

echo "== native threaded tests (ThreadSanitizer)"
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan
ctest --preset native-tsan -R 'Wave|Sim|Sync|Session|FeedAnalyser|Views'

# Every parser of outside input under libFuzzer; FUZZ_SECONDS per target
# (60 by default: four minutes for the four).
echo "== fuzzing (${FUZZ_SECONDS:-60} s per target)"
for target in position_file tone_fields midi_check wav_check; do
    bash scripts/fuzz.sh "$target" "${FUZZ_SECONDS:-60}"
done

echo "== Windows tests under Wine (in-process and end to end)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw
bash scripts/wine-env.sh ctest --preset mingw

# Recording and playing at once through the loopback, sampled every minute;
# SOAK_MINUTES long (2 by default, 0 skips it).
if [ "${SOAK_MINUTES:-2}" -gt 0 ]; then
    echo "== soak (${SOAK_MINUTES:-2} min)"
    bash scripts/soak.sh --minutes "${SOAK_MINUTES:-2}"
fi
