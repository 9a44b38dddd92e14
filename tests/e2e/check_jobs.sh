#!/bin/bash
# Runs the main jobs of the end-to-end driver, then reads the files they
# saved with two independent readers, sox and sndfile-info:
# - recording.wav, the 1 kHz sine preset played and recorded back;
# - saved-tone.wav, a created 2-second 1 kHz sine at 50 %.
#   check_jobs.sh E2E_TESTS_EXE ARTEFACT_FOLDER
set -euo pipefail
EXE="$1"
WORK="$2"
rm -f "$WORK/recording.wav" "$WORK/saved-tone.wav"
log=$(wine "$EXE" --gtest_filter=RecordingJob.AtCdQualityThroughTheChosenDevices 2>&1) || { echo "$log"; exit 1; }
echo "$log"
if echo "$log" | grep -q '^\[  SKIPPED \]'; then echo "check_jobs: skipped"; exit 0; fi

fail() { echo "check_jobs: $*" >&2; exit 1; }
in_range() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }
# FILE KEY [EFFECTS...]: a figure of sox's stat for the left channel.
figure() { sox "$WORK/$1" -n "${@:3}" remix 1 stat 2>&1 | awk -F: -v k="$2" '$1 ~ k { gsub(/ /, "", $2); print $2 }'; }
# FILE SECONDS_LOW SECONDS_HIGH: 44100 Hz, 16 bits, 2 channels, that long,
# read by both; then the strongest frequency and the RMS of the left channel.
check() {
    local f="$WORK/$1" info frames
    [ "$(soxi -r "$f")-$(soxi -b "$f")-$(soxi -c "$f")" = 44100-16-2 ] || fail "$1: $(soxi "$f")"
    in_range "$(soxi -D "$f")" "$2" "$3" || fail "$1: $(soxi -D "$f") s"
    info=$(sndfile-info "$f")
    echo "$info" | grep -Eq 'Sample Rate *: *44100' || fail "sndfile-info: $1: rate"$'\n'"$info"
    echo "$info" | grep -Eq 'Channels *: *2' || fail "sndfile-info: $1: channels"$'\n'"$info"
    frames=$(echo "$info" | awk -F: '/^Frames/ { gsub(/ /, "", $2); print $2 }')
    in_range "$frames" "$(awk "BEGIN { print $2 * 44100 }")" "$(awk "BEGIN { print $3 * 44100 }")" ||
        fail "sndfile-info: $1: $frames frames"
}
# The recording from half a second on (the output starts late under Wine):
# the preset plays at half amplitude, RMS 0.5 / sqrt(2) = 0.35.
check recording.wav 1 5
freq=$(figure recording.wav 'Rough   frequency' trim 0.5)
rms=$(figure recording.wav 'RMS     amplitude' trim 0.5)
echo "sox, recording: rough frequency $freq Hz, RMS amplitude $rms"
in_range "$freq" 980 1020 || fail "recording: $freq Hz, not 1 kHz"
in_range "$rms" 0.2 0.5 || fail "recording: RMS amplitude $rms"
# The saved tone: whole loops of the tone, at least its 2 s.
check saved-tone.wav 2 3.5
freq=$(figure saved-tone.wav 'Rough   frequency')
rms=$(figure saved-tone.wav 'RMS     amplitude')
echo "sox, saved tone: rough frequency $freq Hz, RMS amplitude $rms"
in_range "$freq" 990 1010 || fail "saved tone: $freq Hz"
in_range "$rms" 0.34 0.36 || fail "saved tone: RMS amplitude $rms"
echo "check_jobs: the recording and the saved tone are what was asked for"
