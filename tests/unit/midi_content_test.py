#!/usr/bin/python3
"""Reads the two generated content files with readers that are not ours:
Python's mido parses them, timidity renders them to WAV with the freepats
instruments. Usage: midi_content_test.py CONTENT_FOLDER"""
import array
import os
import subprocess
import sys
import tempfile
import unittest
import wave

import mido

FOLDER = sys.argv.pop(1) if len(sys.argv) > 1 else "."
TIMIDITY_CONFIG = "/etc/timidity/freepats.cfg"

# name: (seconds, notes, tracks). The notes as composed:
# ReggaeBeats, 8 bars: drums 8 x (kick, rim, 8 hats) + a 3-note fill = 83,
#   bass 8 x 5 = 40, skank 8 x 4 chords x 3 = 96, organ 8 x 4 = 32: 251.
# Intrigue, 10 bars: ostinato 10 x 16 = 160, strings 8 bars x 3 = 24,
#   cello 6 bars x 2 = 12, timpani 4 + 4 + 1 = 9, melody 22: 227.
EXPECTED = {
    "ReggaeBeats.mid": (20.0, 251, 5),
    "Intrigue.mid": (30.0, 227, 6),
}


def notes_of(midi):
    """(start tick, end tick, key, velocity) of every note, all tracks."""
    notes = []
    for track in midi.tracks:
        tick, open_notes = 0, {}
        for msg in track:
            tick += msg.time
            if msg.type == "note_on" and msg.velocity > 0:
                open_notes[(msg.channel, msg.note)] = (tick, msg.velocity)
            elif msg.type in ("note_off", "note_on"):
                start, velocity = open_notes.pop((msg.channel, msg.note))
                notes.append((start, tick, msg.note, velocity))
        assert not open_notes, "a note is never released"
    return notes


class MidoReadsThem(unittest.TestCase):
    def test_duration_notes_and_tracks(self):
        for name, (seconds, count, tracks) in EXPECTED.items():
            with self.subTest(name):
                midi = mido.MidiFile(os.path.join(FOLDER, name))
                self.assertEqual(midi.type, 1)
                self.assertEqual(len(midi.tracks), tracks)
                self.assertAlmostEqual(midi.length, seconds, delta=0.01)
                self.assertEqual(len(notes_of(midi)), count)

    def test_groove_loops_without_a_seam(self):
        midi = mido.MidiFile(os.path.join(FOLDER, "ReggaeBeats.mid"))
        end = 8 * 4 * midi.ticks_per_beat
        notes = notes_of(midi)
        self.assertTrue(all(e <= end for _, e, _, _ in notes), "a note rings past the loop point")
        self.assertEqual(min(s for s, _, _, _ in notes), 0)
        ends = [sum(m.time for m in t) for t in midi.tracks]
        self.assertEqual(ends, [end] * len(ends), "every track ends on the loop point")

    def test_moody_piece_rises_and_falls(self):
        midi = mido.MidiFile(os.path.join(FOLDER, "Intrigue.mid"))
        bar = 4 * midi.ticks_per_beat
        per_bar = [[] for _ in range(10)]
        for start, _, _, velocity in notes_of(midi):
            per_bar[start // bar].append(velocity)
        loudness = [sum(v) for v in per_bar]  # notes times velocity: how full and loud
        peak = loudness.index(max(loudness))
        self.assertTrue(2 < peak < 9, loudness)
        self.assertGreater(loudness[peak], 3 * loudness[0])
        self.assertGreater(loudness[peak], 2 * loudness[-1])
        keys = {k for _, _, k, _ in notes_of(midi)}
        self.assertIn(62, keys)  # D
        self.assertIn(65, keys)  # F: D minor
        self.assertNotIn(66, keys)  # no F sharp


class TimidityRendersThem(unittest.TestCase):
    def test_rendered_length_and_sound(self):
        for name, (seconds, _, _) in EXPECTED.items():
            with self.subTest(name), tempfile.TemporaryDirectory() as tmp:
                out = os.path.join(tmp, "out.wav")
                subprocess.run(["timidity", "-c", TIMIDITY_CONFIG, "-Ow", "-s", "22050",
                                "-o", out, os.path.join(FOLDER, name)],
                               check=True, capture_output=True)
                with wave.open(out) as w:
                    frames = w.getnframes()
                    rendered = frames / w.getframerate()
                    self.assertEqual(w.getsampwidth(), 2)
                    samples = array.array("h", w.readframes(frames))
                # The instruments ring on for a moment after the last note.
                self.assertGreaterEqual(rendered, seconds)
                self.assertLess(rendered, seconds + 4)
                quiet = [0 if not samples else max(abs(s) for s in samples[i:i + 2205])
                         for i in range(0, int(seconds * 22050 * 2) - 2205, 22050 * 2)]
                self.assertTrue(all(q > 300 for q in quiet),
                                f"a silent second in {name}: {quiet}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
