#!/bin/bash
# Builds Mirravox and runs it. On Linux it runs under Wine; with no display
# it runs on a private Xvfb, saves a screenshot of the main window into the
# build folder and closes the program again.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target mirravox

if [ -n "${DISPLAY:-}" ]; then
    exec bash scripts/wine-env.sh wine build/mingw/mirravox.exe "$@"
fi
exec bash scripts/wine-env.sh bash scripts/screenshot.sh build/mingw/mirravox-screenshot.png "$@"
