#!/bin/bash
# Runs the main jobs of the end-to-end driver, then reads the files they
# saved with two independent readers, sox and sndfile-info:
# - recording.wav, the 1 kHz sine preset played and recorded back;
# - saved-tone.wav, a created 2-second 1 kHz sine at 50 %.
#   check_jobs.sh E2E_TESTS_EXE ARTEFACT_FOLDER
set -euo pipefail
WORK="$2"
rm -f "$WORK/recording.wav" "$WORK/saved-tone.wav"
log=$(wine "$1" --gtest_filter=RecordingJob.AtCdQualityThroughTheChosenDevices 2>&1) || { echo "$log"; exit 1; }
echo "$log"
if echo "$log" | grep -q '^\[  SKIPPED \]'; then echo "check_jobs: skipped"; exit 0; fi

fail() { echo "check_jobs: $*" >&2; exit 1; }
in_range() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }
# FILE SECONDS_LOW SECONDS_HIGH HZ_LOW HZ_HIGH RMS_LOW RMS_HIGH [EFFECTS...]:
# 44100 Hz, 16 bits, 2 channels, that long, read by both; then the left
# channel's strongest frequency and RMS, after the effects.
check() {
    local f="$WORK/$1" info stat freq rms
    [ "$(soxi -r "$f")-$(soxi -b "$f")-$(soxi -c "$f")" = 44100-16-2 ] || fail "$1: $(soxi "$f")"
    in_range "$(soxi -D "$f")" "$2" "$3" || fail "$1: $(soxi -D "$f") s"
    info=$(sndfile-info "$f")
    echo "$info" | grep -Eq 'Sample Rate *: *44100' && echo "$info" | grep -Eq 'Channels *: *2' ||
        fail "sndfile-info: $1"$'\n'"$info"
    in_range "$(echo "$info" | awk -F: '/^Frames/ { print $2 / 44100 }')" "$2" "$3" || fail "sndfile-info: $1: length"
    stat=$(sox "$f" -n "${@:8}" remix 1 stat 2>&1) || fail "sox: $1: $stat"
    freq=$(echo "$stat" | awk -F: '/Rough   frequency/ { print $2 + 0 }')
    rms=$(echo "$stat" | awk -F: '/RMS     amplitude/ { print $2 + 0 }')
    echo "sox, $1: rough frequency $freq Hz, RMS amplitude $rms"
    in_range "$freq" "$4" "$5" || fail "$1: $freq Hz, not 1 kHz"
    in_range "$rms" "$6" "$7" || fail "$1: RMS amplitude $rms"
}
# The recording from half a second on (the output starts late under Wine):
# the preset plays at half amplitude, RMS 0.5 / sqrt(2) = 0.35.
check recording.wav 1 5 980 1020 0.2 0.5 trim 0.5
# The saved tone: whole loops of the tone, at least its 2 s.
check saved-tone.wav 2 3.5 990 1010 0.34 0.36
echo "check_jobs: the recording and the saved tone are what was asked for"
