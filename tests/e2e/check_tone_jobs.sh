#!/bin/bash
# Runs the create-tone jobs of the end-to-end driver, then reads both files
# with two independent readers, sox and sndfile-info:
# - the recording of a 3 kHz square at 30 % played and recorded through the
#   null sink's devices chosen in Device selection;
# - a saved 2-second 1 kHz sine at 50 %.
#   check_tone_jobs.sh E2E_TESTS_EXE WORK_FOLDER
set -euo pipefail
EXE="$1"
WORK="$2"
mkdir -p "$WORK"
SQUARE="$WORK/square-recording.wav"
TONE="$WORK/saved-tone.wav"
rm -f "$SQUARE" "$TONE"
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

MIRRAVOX_E2E_SQUARE_WAV="$(winpath "$SQUARE")" MIRRAVOX_E2E_TONE_WAV="$(winpath "$TONE")" \
    wine "$EXE" --gtest_filter='ToneAndDevicesJob.*'

fail() { echo "check_tone_jobs: $*" >&2; exit 1; }
in_range() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

# sox: the saved tone is at least 2 s of 44100 Hz 16-bit stereo, a 1 kHz sine
# at half scale (RMS 0.5 / sqrt(2) = 0.354).
[ "$(soxi -r "$TONE")" = 44100 ] || fail "tone rate $(soxi -r "$TONE")"
[ "$(soxi -b "$TONE")" = 16 ] || fail "tone bits $(soxi -b "$TONE")"
[ "$(soxi -c "$TONE")" = 2 ] || fail "tone channels $(soxi -c "$TONE")"
seconds=$(soxi -D "$TONE")
in_range "$seconds" 2.0 3.5 || fail "tone length $seconds s"
stats=$(sox "$TONE" -n remix 1 stat 2>&1)
freq=$(echo "$stats" | awk -F: '/Rough   frequency/ { gsub(/ /, "", $2); print $2 }')
rms=$(echo "$stats" | awk -F: '/RMS     amplitude/ { gsub(/ /, "", $2); print $2 }')
echo "sox, saved tone: $seconds s, rough frequency $freq Hz, RMS amplitude $rms"
in_range "$freq" 990 1010 || fail "tone frequency $freq Hz"
in_range "$rms" 0.34 0.36 || fail "tone RMS amplitude $rms"

# sndfile-info reads the same header on its own.
info=$(sndfile-info "$TONE")
echo "$info" | grep -Eq 'Sample Rate *: *44100' || fail "sndfile-info: rate"$'\n'"$info"
echo "$info" | grep -Eq 'Channels *: *2' || fail "sndfile-info: channels"$'\n'"$info"
frames=$(echo "$info" | awk -F: '/^Frames/ { gsub(/ /, "", $2); print $2 }')
in_range "$frames" 88200 154350 || fail "sndfile-info: $frames frames"
echo "sndfile-info, saved tone: $frames frames"

# The recorded square: 3 kHz, its peak 30 % of full scale, and its RMS that of
# a square (a square's RMS is its peak; a sine of that peak has 0.21), from
# the first sound on. Where the loopback fell behind (Wine's playback starts
# slow, more so on a loaded machine) it brought back silence, which lowers
# the RMS: 0.25 allows 30 % of it.
# (sox's rough frequency is thrown by a square's harmonics: take the strongest
# line of its spectrum instead.)
sound=(remix 1 silence 1 0.001 1%)
stats=$(sox "$SQUARE" -n "${sound[@]}" stat 2>&1)
freq=$(sox "$SQUARE" -n "${sound[@]}" stat -freq 2>&1 |
    awk 'NF == 2 && $1 + 0 > 0 && $2 + 0 > best { best = $2 + 0; f = $1 } END { print f }')
peak=$(echo "$stats" | awk -F: '/Maximum amplitude/ { gsub(/ /, "", $2); print $2 }')
rms=$(echo "$stats" | awk -F: '/RMS     amplitude/ { gsub(/ /, "", $2); print $2 }')
echo "sox, recorded square: strongest line $freq Hz, peak $peak, RMS amplitude $rms"
in_range "$freq" 2950 3050 || fail "square frequency $freq Hz"
in_range "$peak" 0.299 0.301 || fail "square peak $peak"
in_range "$rms" 0.25 0.31 || fail "square RMS amplitude $rms"
sndfile-info "$SQUARE" | grep -Eq 'Sample Rate *: *44100' || fail "sndfile-info cannot read the recording"
echo "check_tone_jobs: the recorded square and the saved tone are what was asked for"
