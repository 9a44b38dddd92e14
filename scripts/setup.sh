#!/bin/bash
# Installs what a fresh Debian 12 machine lacks to build, run and test
# Mirravox. Idempotent: packages already present are not fetched again.
set -euo pipefail

PACKAGES=(
    cmake g++ make googletest libgtest-dev libbenchmark-dev   # native build and tests
    mingw-w64 g++-mingw-w64-x86-64-posix                      # the Windows build
    wine wine64                                               # running it on Linux
    xvfb xauth x11-utils imagemagick                          # a display and screenshots
    pulseaudio pulseaudio-utils                               # a sound server with a null sink
    sox                                                       # an independent WAV reader
    python3                                                   # reads the self-test's report.json
    python3-mido timidity freepats                            # independent MIDI readers
    pkg-config libfftw3-dev libkissfft-dev                    # FFT peers of the benchmark
    clang-format                                              # the one layout of the sources
    nsis                                                      # the installer (package-installer)
    sndfile-programs                                          # a second one (sndfile-info)
    clang libclang-rt-14-dev                                  # libFuzzer (scripts/fuzz.sh)
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
