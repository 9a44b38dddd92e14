#!/bin/bash
# Runs the recording job of the end-to-end driver, then reads the saved file
# with an independent reader, sox: 44100 Hz, 16 bits, 2 channels, one to five
# seconds long, and a dominant 1 kHz tone.
#   check_recording.sh E2E_TESTS_EXE WORK_FOLDER
set -euo pipefail
EXE="$1"
WORK="$2"
mkdir -p "$WORK"
WAV="$WORK/recording.wav"
rm -f "$WAV"

MIRRAVOX_E2E_WAV="Z:$(echo "$WAV" | tr / '\\')" wine "$EXE" --gtest_filter=RecordingJob.RecordAPlayedSineAndSaveIt

fail() { echo "check_recording: $*" >&2; exit 1; }
[ "$(soxi -r "$WAV")" = 44100 ] || fail "rate $(soxi -r "$WAV")"
[ "$(soxi -b "$WAV")" = 16 ] || fail "bits $(soxi -b "$WAV")"
[ "$(soxi -c "$WAV")" = 2 ] || fail "channels $(soxi -c "$WAV")"
seconds=$(soxi -D "$WAV")
awk -v s="$seconds" 'BEGIN { exit !(s > 1.0 && s < 5.0) }' || fail "length $seconds s"

# Skip the first half second (the output starts late under Wine), then ask
# sox for the strongest frequency and the level of the left channel.
stats=$(sox "$WAV" -n trim 0.5 remix 1 stat 2>&1)
freq=$(echo "$stats" | awk -F: '/Rough   frequency/ { gsub(/ /, "", $2); print $2 }')
rms=$(echo "$stats" | awk -F: '/RMS     amplitude/ { gsub(/ /, "", $2); print $2 }')
echo "sox: rough frequency $freq Hz, RMS amplitude $rms"
awk -v f="$freq" 'BEGIN { exit !(f > 980 && f < 1020) }' || fail "frequency $freq Hz, not 1 kHz"
# The preset plays at half amplitude: RMS 0.5 / sqrt(2) = 0.35.
awk -v r="$rms" 'BEGIN { exit !(r > 0.2 && r < 0.5) }' || fail "RMS amplitude $rms"
echo "check_recording: the saved recording holds the 1 kHz sine"
