#!/usr/bin/env python3
"""Draws a document's F0 and formant curves over time, with matplotlib where it is
installed. Usage: plot_curves.py DOCUMENT [PICTURE.png]"""
import sys

import vocanta

try:
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
except ImportError:
    print("matplotlib is not installed (apt-get install python3-matplotlib): nothing drawn")
    sys.exit(0)


def draw(axis, parameter, duration):
    """Each curve as the program evaluates it: lines between points, level beyond."""
    curves = list(parameter.curves) or [None]
    for curve in curves:
        points = [(p.x, p.y) for p in curve.points] if curve else []
        if not points:
            points = [(0, parameter.default)]
        xs = [0] + [x for x, _ in points] + [duration]
        ys = [points[0][1]] + [y for _, y in points] + [points[-1][1]]
        # Formant curves are F1, F2, ... to a phonetician.
        name = "F" if parameter.name == "Formants" else parameter.name + " "
        label = f"{name}{curve.number}" if curve and parameter.multi_curve else parameter.name
        axis.plot(xs, ys, label=label)
    axis.set_ylabel(f"{parameter.name} [{parameter.y_unit}]")
    axis.legend(loc="best", fontsize="small")


voice = vocanta.open(sys.argv[1])
figure, (f0, formants) = plt.subplots(2, 1, sharex=True, figsize=(8, 6))
draw(f0, voice.parameters["F0"], voice.duration)
draw(formants, voice.parameters["Formants"], voice.duration)
formants.set_xlabel("Time [s]")
picture = sys.argv[2] if len(sys.argv) > 2 else "curves.png"
figure.savefig(picture)
print(picture)
