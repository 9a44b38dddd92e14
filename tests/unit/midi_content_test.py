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

SECONDS = {"ReggaeBeats.mid": 20.0, "Intrigue.mid": 30.0}


def read(name):
    """The file, and (start tick, end tick) of every note."""
    midi = mido.MidiFile(os.path.join(FOLDER, name))
    notes = []
    for track in midi.tracks:
        tick, open_notes = 0, {}
        for msg in track:
            tick += msg.time
            if msg.type == "note_on" and msg.velocity > 0:
                open_notes[(msg.channel, msg.note)] = tick
            elif msg.type in ("note_off", "note_on"):
                notes.append((open_notes.pop((msg.channel, msg.note)), tick))
        assert not open_notes, "a note is never released"
    return midi, notes


class MidoReadsThem(unittest.TestCase):
    def test_length_and_a_groove_that_loops_without_a_seam(self):
        for name, seconds in SECONDS.items():
            with self.subTest(name):
                midi, notes = read(name)
                self.assertEqual(midi.type, 1)
                self.assertAlmostEqual(midi.length, seconds, delta=0.01)
        midi, notes = read("ReggaeBeats.mid")
        end = 8 * 4 * midi.ticks_per_beat
        self.assertEqual(min(s for s, _ in notes), 0)
        self.assertLessEqual(max(e for _, e in notes), end, "a note rings past the loop point")
        self.assertEqual([sum(m.time for m in t) for t in midi.tracks], [end] * len(midi.tracks),
                         "every track ends on the loop point")


class TimidityRendersThem(unittest.TestCase):
    def test_rendered_length_and_sound(self):
        for name, seconds in SECONDS.items():
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
