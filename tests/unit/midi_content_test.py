#!/usr/bin/python3
"""Reads the two generated content files with readers that are not ours:
Python's mido parses them, timidity renders them with the freepats
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

# name: (seconds, notes, tracks). The notes as composed:
# ReggaeBeats, 8 bars: drums 8 x (kick, rim, 8 hats) + a 3-note fill = 83,
#   bass 8 x 5 = 40, skank 8 x 4 chords x 3 = 96, organ 8 x 4 = 32: 251.
# Intrigue, 10 bars: ostinato 10 x 16 = 160, strings 8 bars x 3 = 24,
#   cello 6 bars x 2 = 12, timpani 4 + 4 + 1 = 9, melody 22: 227.
EXPECTED = {"ReggaeBeats.mid": (20.0, 251, 5), "Intrigue.mid": (30.0, 227, 6)}


def read(name):
    """The file, and (start tick, end tick, key, velocity) of every note."""
    midi = mido.MidiFile(os.path.join(FOLDER, name))
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
    return midi, notes


class MidoReadsThem(unittest.TestCase):
    def test_duration_notes_and_tracks(self):
        for name, (seconds, count, tracks) in EXPECTED.items():
            with self.subTest(name):
                midi, notes = read(name)
                self.assertEqual((midi.type, len(midi.tracks), len(notes)), (1, tracks, count))
                self.assertAlmostEqual(midi.length, seconds, delta=0.01)

    def test_groove_loops_without_a_seam(self):
        midi, notes = read("ReggaeBeats.mid")
        end = 8 * 4 * midi.ticks_per_beat
        self.assertTrue(all(e <= end for _, e, _, _ in notes), "a note rings past the loop point")
        self.assertEqual(min(s for s, _, _, _ in notes), 0)
        self.assertEqual([sum(m.time for m in t) for t in midi.tracks], [end] * len(midi.tracks),
                         "every track ends on the loop point")

    def test_moody_piece_rises_and_falls_in_d_minor(self):
        midi, notes = read("Intrigue.mid")
        loudness = [0] * 10  # notes times velocity per bar: how full and loud
        for start, _, _, velocity in notes:
            loudness[start // (4 * midi.ticks_per_beat)] += velocity
        peak = loudness.index(max(loudness))
        self.assertTrue(2 < peak < 9 and loudness[peak] > 3 * loudness[0] and loudness[peak] > 2 * loudness[-1],
                        loudness)
        keys = {k for _, _, k, _ in notes}
        self.assertTrue({62, 65} <= keys and 66 not in keys, "D and F, no F sharp")


class TimidityRendersThem(unittest.TestCase):
    def test_rendered_length_and_sound(self):
        for name, (seconds, _, _) in EXPECTED.items():
            with self.subTest(name), tempfile.TemporaryDirectory() as tmp:
                out = os.path.join(tmp, "out.wav")
                subprocess.run(["timidity", "-c", "/etc/timidity/freepats.cfg", "-Ow", "-s", "22050", "-o", out,
                                os.path.join(FOLDER, name)], check=True, capture_output=True)
                with wave.open(out) as w:
                    self.assertEqual(w.getsampwidth(), 2)
                    rendered = w.getnframes() / w.getframerate()
                    samples = array.array("h", w.readframes(w.getnframes()))
                # The instruments ring on for a moment after the last note.
                self.assertTrue(seconds <= rendered < seconds + 4, rendered)
                quiet = [max(abs(s) for s in samples[i:i + 2205])
                         for i in range(0, int(seconds * 22050 * 2) - 2205, 22050 * 2)]
                self.assertTrue(all(q > 300 for q in quiet), f"a silent second in {name}: {quiet}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
