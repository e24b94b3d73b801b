#!/usr/bin/env bash
# Makes the monitor's two sounds after a mute toggle, kept in the repository and embedded as WAV
# resources: muted, a falling pair of soft tones (880 Hz, then 587 Hz); live again, the same pair
# rising. Each is 160 ms of 16-bit mono at 22050 Hz with short fades, so that it does not click.
# Run by hand when a sound changes.
set -euo pipefail
cd "$(dirname "$0")"
python3 - <<'PY'
import math, struct, wave

RATE = 22050
NOTE_MS = 80
FADE_MS = 8
AMPLITUDE = 9000

def note(frequency):
    count = RATE * NOTE_MS // 1000
    fade = RATE * FADE_MS // 1000
    for i in range(count):
        gain = min(1.0, i / fade, (count - 1 - i) / fade)
        yield int(AMPLITUDE * gain * math.sin(2 * math.pi * frequency * i / RATE))

def write(name, frequencies):
    samples = [s for f in frequencies for s in note(f)]
    with wave.open(name, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(struct.pack("<%dh" % len(samples), *samples))

write("MuteOn.wav", (880, 587))
write("MuteOff.wav", (587, 880))
PY
