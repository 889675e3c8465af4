#!/usr/bin/env python3
"""An F1 continuum from a template: one WAV per step, named by its F1.
Usage: f1_continuum.py [TEMPLATE] [FOLDER] [STEPS]"""
import pathlib, sys, wave
import vocanta

here = pathlib.Path(__file__).resolve().parent
template = sys.argv[1] if len(sys.argv) > 1 else here.parent / "templates" / "men_ih_eh_f1_continuum.vta"
folder = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else "continuum")
voice = vocanta.open(template)
voice.batches["F1"].steps = int(sys.argv[3]) if len(sys.argv) > 3 else 4
f1 = voice.parameters["Formants"].curves[0].points[0]  # F1: from batch_y over batch_range
folder.mkdir(exist_ok=True)
for v in voice.render_batch():
    hz = f1.batch_y + f1.batch_range * v.steps["F1"] / voice.batches["F1"].steps
    with wave.open(str(folder / f"f1_{hz:.0f}Hz.wav"), "wb") as out:
        out.setnchannels(1), out.setsampwidth(2), out.setframerate(voice.sampling_frequency)
        out.writeframes(v.samples.astype("<i2").tobytes())
    print(folder / f"f1_{hz:.0f}Hz.wav", v.label)
