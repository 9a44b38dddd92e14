#!/bin/bash
# Checks the source layout, then builds (warnings are errors) and runs every
# test: the native unit tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, the threaded ones again under
# ThreadSanitizer, then, under Wine, the in-process Windows
# tests and the end-to-end tests of the real mirravox.exe.
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

echo "== Windows tests under Wine (in-process and end to end)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw
bash scripts/wine-env.sh ctest --preset mingw
