#!/usr/bin/env python3
"""Writes the vowel templates of this folder from the table of average formant
frequencies of Peterson and Barney (1952); see examples/README.md.

Run it from anywhere: python3 examples/templates/make_templates.py
"""
from pathlib import Path

# Vowel code, IPA symbol, the "h_d" word it was spoken in.
VOWELS = [
    ("i", "i", "heed"), ("ih", "ɪ", "hid"), ("eh", "ɛ", "head"), ("ae", "æ", "had"),
    ("ah", "ɑ", "hod"), ("aw", "ɔ", "hawed"), ("uh", "ʊ", "hood"), ("u", "u", "who'd"),
    ("uhh", "ʌ", "hud"), ("er", "ɝ", "heard"),
]

# Average F0, F1, F2, F3 in Hz, in the order of VOWELS.
TABLE = {
    "men": {
        "F0": [136, 135, 130, 127, 124, 129, 137, 141, 130, 133],
        "F1": [270, 390, 530, 660, 730, 570, 440, 300, 640, 490],
        "F2": [2290, 1990, 1840, 1720, 1090, 840, 1020, 870, 1190, 1350],
        "F3": [3010, 2550, 2480, 2410, 2440, 2410, 2240, 2240, 2390, 1690],
    },
    "women": {
        "F0": [235, 232, 223, 210, 212, 216, 232, 231, 221, 218],
        "F1": [310, 430, 610, 860, 850, 590, 470, 370, 760, 500],
        "F2": [2790, 2480, 2330, 2050, 1220, 920, 1160, 950, 1400, 1640],
        "F3": [3310, 3070, 2990, 2850, 2810, 2710, 2680, 2670, 2780, 1960],
    },
    "children": {
        "F0": [272, 269, 260, 251, 256, 263, 276, 274, 261, 261],
        "F1": [370, 530, 690, 1010, 1030, 680, 560, 430, 850, 560],
        "F2": [3200, 2730, 2610, 2320, 1370, 1060, 1410, 1170, 1590, 1820],
        "F3": [3730, 3600, 3570, 3320, 3170, 3180, 3310, 3260, 3360, 2160],
    },
}

DURATION = 0.5
# Bandwidth against formant frequency: narrow low formants, wider high ones, close to
# the bandwidths measured on spoken vowels (about 50 Hz near 300 Hz, 100 Hz near 2.5 kHz).
BANDWIDTHS = [(0, 50), (1000, 70), (2500, 100), (4000, 150)]
# The F1 continuum: men's /ɪ/ to /ɛ/ in six steps (seven voices), F0, F2 and F3 halfway.
CONTINUUM = ("men", "ih", "eh", 6)


def header():
    return ["[Common]", "Filetype=Vocanta", "Version=3.0", "Gain=-20",
            "SamplingFrequency=16000", f"TotalDuration={DURATION}", "MaxHarmonincs=1000",
            "nTweenies=1", "Randomize=0"]


def curves(f0, formants, batch=None):
    lines = ["[OverAllLevel]", "0=-40;-40;0;", "0.05=0;0;0;",
             f"{DURATION - 0.05:g}=0;0;0;", f"{DURATION:g}=-40;-40;0;",
             "[F0]", f"0={f0};{f0};0;"]
    for n, f in enumerate(formants, start=1):
        lines.append(f"[Formant_{n}]")
        if n == 1 and batch:
            low, high, name = batch
            lines.append(f"0={low};{low};{high - low};{name}")
        else:
            lines.append(f"0={f};{f};0;")
    lines.append("[FormantBW]")
    lines += [f"{x}={bw};{bw};0;" for x, bw in BANDWIDTHS]
    return lines


def write(path, lines):
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("ascii"))


def main():
    folder = Path(__file__).resolve().parent
    index = []
    for group, row in TABLE.items():
        for i, (code, ipa, word) in enumerate(VOWELS):
            formants = [row["F1"][i], row["F2"][i], row["F3"][i]]
            name = f"{group}_{code}.vta"
            write(folder / name, header() + curves(row["F0"][i], formants))
            index.append(f"{name}\t{group.capitalize()} – /{ipa}/ ({word})")
    group, start, end, steps = CONTINUUM
    row, codes = TABLE[group], [v[0] for v in VOWELS]
    a, b = codes.index(start), codes.index(end)
    mid = [round((row[k][a] + row[k][b]) / 2) for k in ("F0", "F2", "F3")]
    name = f"{group}_{start}_{end}_f1_continuum.vta"
    batch = (row["F1"][a], row["F1"][b], "F1")
    write(folder / name, header() + ["[BatchSteps]", f"F1={steps}"] +
          curves(mid[0], [row["F1"][a], mid[1], mid[2]], batch))
    index.append(f"{name}\t{group.capitalize()} – F1 continuum /{VOWELS[a][1]}/ to "
                 f"/{VOWELS[b][1]}/ ({steps + 1} voices)")
    (folder / "index.txt").write_text("\n".join(index) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
