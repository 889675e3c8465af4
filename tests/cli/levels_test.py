#!/usr/bin/env python3
"""Level matching: each voice of a batch brought to a peak or RMS level of full scale.

Levels are measured here from the written 16-bit samples, full scale being 32768, and
the voices found through the label file; the program's own measures are not used.
Usage: levels_test.py CLI
"""
import csv
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave
from script_checks import check, summary

CLI = os.path.realpath(sys.argv[1])
# Voices from quiet to loud, on two pitches: the gains must differ from voice to voice.
DOCUMENT = """[Common]
Filetype=Vocanta
Version=3.0
Gain=-10
SamplingFrequency=8000
TotalDuration=0.2
MaxHarmonincs=1000
nTweenies=1
Randomize=0
[BatchSteps]
Loudness=3
Pitch=1
[F0]
0=120;120;80;Pitch
[OverAllLevel]
0=0;-30;25;Loudness
"""


def run(*args):
    return subprocess.run([CLI, *args], capture_output=True, text=True)


def labels_of(path):
    with open(path, "rb") as f:
        lines = f.read().decode().split("\r\n")[1:]
    return [(int(a), int(b), c) for a, b, c in (l.split(",", 2) for l in lines if l)]


def wav_samples(path):
    with wave.open(path, "rb") as w:
        raw = w.readframes(w.getnframes())
    return list(struct.unpack("<%dh" % (len(raw) // 2), raw))


def smp_samples(path):
    with open(path, "rb") as f:
        raw = f.read()[1024:]
    return list(struct.unpack("<%dh" % (len(raw) // 2), raw))


def peak_db(s):
    return 20 * math.log10(max(abs(v) for v in s) / 32768)


def rms_db(s):
    return 20 * math.log10(math.sqrt(sum(v * v for v in s) / len(s)) / 32768)


def voices(samples, labels):
    return [samples[a:a + b] for a, b, _ in labels]


def table(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def main():
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)
        with open("lv.vta", "w", newline="") as f:
            f.write(DOCUMENT.replace("\n", "\r\n"))
        targets()
        series_forms()
        clipping_and_refusals()
    return summary()


def targets():
    run("batch", "lv.vta", "--combinations", "-o", "plain.wav")
    labels = labels_of("plain.CSV")
    plain = voices(wav_samples("plain.wav"), labels)
    check("the plain table has no gain column", "gain_dB" not in table("plain.stimuli.csv")[0])
    for kind, measure, target in (("peak", peak_db, -1), ("rms", rms_db, -20),
                                  ("peak", peak_db, -12.5)):
        name = "%s%g.wav" % (kind, -target)
        r = run("batch", "lv.vta", "--combinations", "--normalize", "%s=%g" % (kind, target),
                "-o", name)
        got = voices(wav_samples(name), labels)
        levels = [measure(v) for v in got]
        check("%s=%g: every voice within 0.1 dB of its target (%s)" %
              (kind, target, ", ".join("%.3f" % l for l in levels)),
              r.returncode == 0 and labels_of(name[:-4] + ".CSV") == labels and
              all(abs(l - target) <= 0.1 for l in levels))
        check("%s=%g: nothing clips and nothing is said" % (kind, target),
              all(max(v) < 32767 and min(v) > -32768 for v in got) and r.stderr == "")
        rows = table(name[:-4] + ".stimuli.csv")
        gains = [float(row["gain_dB"]) for row in rows]
        check("%s=%g: the table's gains are what the plain voices lacked" % (kind, target),
              len(rows) == len(labels) and
              all(abs(measure(p) + g - target) <= 0.05 for p, g in zip(plain, gains)) and
              len(set(round(g, 3) for g in gains)) > 1)


def series_forms():
    """One file, --split and --shard parts give the same matched voices."""
    opts = ["--combinations", "--normalize", "rms=-18"]
    run("batch", "lv.vta", *opts, "-o", "one.smp")
    one = smp_samples("one.smp")
    labels = labels_of("one.CSV")
    r = run("batch", "lv.vta", *opts, "--split", "split", "--format", "smp")
    names = [row["file"] for row in table("split/lv.stimuli.csv")]
    joined = sum((smp_samples(os.path.join("split", n)) for n in names), [])
    check("split files join to the matched one file", r.returncode == 0 and joined == one and
          len(names) == len(labels))
    parts = []
    for k in (1, 2, 3):
        parts.append("part%d.smp" % k)
        run("batch", "lv.vta", *opts, "--shard", "%d/3" % k, "-o", parts[-1])
    r = run("merge", *parts, "-o", "merged.smp")
    check("three matched shards merge into the matched one file",
          r.returncode == 0 and smp_samples("merged.smp") == one)
    run("batch", "lv.vta", "--combinations", "--shard", "1/3", "-o", "plainpart.smp")
    r = run("merge", "plainpart.smp", parts[1], parts[2], "-o", "mixed.smp")
    check("a plain part does not merge with matched ones",
          r.returncode != 0 and not os.path.exists("mixed.smp"))
    r = run("build", "lv.vta", "--normalize", "peak=-3", "-o", "plain.smp")
    check("build matches its one voice too",
          r.returncode == 0 and abs(peak_db(smp_samples("plain.smp")) + 3) <= 0.1)


def clipping_and_refusals():
    r = run("batch", "lv.vta", "--combinations", "--normalize", "peak=+6", "-o", "loud.wav")
    labels = labels_of("loud.CSV")
    said = [l for l in r.stderr.splitlines() if "Overload" in l]
    check("peak=+6 names every voice that clips on stderr",
          r.returncode == 0 and len(said) == len(labels) and
          all("'%s'" % l in line for (_, _, l), line in zip(labels, said)))
    for value, why in (("", "needs a value"), ("loud=-1", "--normalize takes"),
                       ("peak=abc", "--normalize takes"), ("rms", "--normalize takes")):
        words = ["--normalize"] + ([value] if value else [])
        r = run("batch", "lv.vta", "-o", "x.wav", *words)
        check("--normalize %r exits 2 with one line" % value,
              r.returncode == 2 and r.stderr.count("\n") == 1 and why in r.stderr and
              not os.path.exists("x.wav"))


if __name__ == "__main__":
    sys.exit(main())
