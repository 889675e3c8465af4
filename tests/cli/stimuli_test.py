#!/usr/bin/env python3
"""Batch series as stimuli: the table beside a build, one file per voice, the TextGrid.

Every expected value is worked out here from the document's own text (its points and
batch steps) and from the label file, never from the program's table code.
Usage: stimuli_test.py CLI
"""
import csv
import os
import re
import struct
import subprocess
import sys
import tempfile
import wave
from script_checks import check, summary

CLI = os.path.realpath(sys.argv[1])
FS = 8000
DOCUMENT = """[Common]
Filetype=Vocanta
Version=3.0
Gain=-20
SamplingFrequency=8000
TotalDuration=0.05
MaxHarmonincs=1000
nTweenies=1
Randomize=0
[BatchSteps]
Pitch=1
vowel height=3
[F0]
0=100;100;50;Pitch
0.04=100;90;30;Pitch
[Formant_1]
0=500;500;300;vowel height
[Formant_2]
0=1500;1500;-200;vowel height
0.025=1500
[OverAllLevel]
0=0;-3;0.7;Pitch
"""
# The names the program shows for the document's sections, and the values' units.
SHOWN = {"F0": ("F0", "Hz"), "Formant_1": ("F1", "Hz"), "Formant_2": ("F2", "Hz"),
         "OverAllLevel": ("Overall level", "dB")}


def run(*args):
    return subprocess.run([CLI, *args], capture_output=True, text=True)


def document_points(text):
    """{batch name: (steps, [(column title, x, unit, y, batchY, batchRange)])}"""
    steps, points, section = {}, {}, None
    for line in text.splitlines():
        if line.startswith("["):
            section = line.strip("[]")
            continue
        key, value = line.split("=", 1)
        if section == "BatchSteps":
            steps[key.lower()] = int(value)
        elif section in SHOWN:
            fields = value.split(";")
            if len(fields) == 4 and fields[3]:
                title, unit = SHOWN[section]
                points.setdefault(fields[3].lower(), []).append(
                    (title, float(key), unit, *map(float, fields[:3])))
    return {name: (steps[name], points.get(name, [])) for name in steps}


def label_lines(path):
    with open(path, "rb") as f:
        lines = f.read().decode().split("\r\n")
    rows = []
    for line in lines[1:]:
        if line:
            start, length, label = line.split(",", 2)
            rows.append((int(start), int(length), label))
    return rows


def steps_in(label):
    """The batches a label names, lower case, with their steps."""
    if label == "No batch":
        return {}
    words = label.split()
    found, name = {}, []
    for w in words:
        if w.isdigit():
            found[" ".join(name).lower()] = int(w)
            name = []
        else:
            name.append(w)
    return found


def read_table(path):
    with open(path, "rb") as f:
        raw = f.read()
    with open(path, newline="", encoding="utf-8") as f:
        return raw, list(csv.reader(f))


def column_groups(header):
    """[(batch name, step column index, {(title, x, unit): column index})]"""
    groups = []
    for i, name in enumerate(header[7:], start=7):
        if name.endswith("_step"):
            groups.append((name[:-5].lower(), i, {}))
        else:
            m = re.fullmatch(r"(.+)@([-0-9.e+]+)s_(\w+)", name)
            groups[-1][2][(m.group(1), float(m.group(2)), m.group(3))] = i
    return groups


def close(a, b):
    return abs(a - b) <= 1e-9 * max(1.0, abs(b))


def table_matches(table, labels, batches, counted, files):
    """Every cell of the table against the label file and the document."""
    if not os.path.isfile(table):
        print("    no", table)
        return False
    raw, rows = read_table(table)
    header, body = rows[0], rows[1:]
    problems = []
    if raw.startswith(b"\xef\xbb\xbf") or not raw.endswith(b"\r\n"):
        problems.append("not UTF-8 without BOM in CR LF lines")
    if header[:7] != ["index", "file", "start_sample", "length_samples", "start_s", "length_s",
                      "label"]:
        problems.append("fixed columns " + str(header[:7]))
    groups = column_groups(header)
    if [g[0] for g in groups] != counted:
        problems.append("batch columns " + str([g[0] for g in groups]))
    if len(body) != len(labels):
        problems.append("%d rows for %d voices" % (len(body), len(labels)))
    for n, (row, (start, length, label)) in enumerate(zip(body, labels)):
        # A voice in a file of its own starts at its file's first sample.
        own_start = start if len(set(files)) == 1 else 0
        if row[:4] != [str(n + 1), files[n], str(own_start), str(length)] or row[6] != label:
            problems.append("row %d reads %s" % (n + 1, row[:7]))
        if float(row[4]) != own_start / FS or float(row[5]) != length / FS:
            problems.append("row %d times %s %s" % (n + 1, row[4], row[5]))
        applied = steps_in(label)
        for name, step_at, columns in groups:
            steps, points = batches[name]
            step = applied.get(name)
            if row[step_at] != ("" if step is None else str(step)):
                problems.append("row %d step of %s: %r" % (n + 1, name, row[step_at]))
            if len(columns) != len(points):
                problems.append("%s has columns %s" % (name, sorted(columns)))
            for title, x, unit, y, batch_y, batch_range in points:
                want = y if step is None else batch_y + step / steps * batch_range
                cell = row[columns.get((title, x, unit), step_at)]
                if not close(float(cell or "nan"), want):
                    problems.append("row %d %s@%s: %s, not %s" % (n + 1, title, x, cell, want))
    for p in problems[:5]:
        print("   ", p)
    return not problems


def one_file_samples(path):
    with open(path, "rb") as f:
        return f.read()[1024:]


def file_samples(path):
    if path.endswith(".wav"):
        with wave.open(path, "rb") as w:
            ok = w.getsampwidth() == 2 and w.getnchannels() == 1 and w.getframerate() == FS
            return w.readframes(w.getnframes()) if ok else b"?"
    return one_file_samples(path)


def fit(text):
    """The rule for names: other characters to '_', runs of '_' as one, '_.-' trimmed."""
    return re.sub(r"_+", "_", re.sub(r"[^A-Za-z0-9._+-]", "_", text)).strip("_.-")


def split_names(base, labels, ext):
    width = len(str(len(labels)))
    return ["%s_%0*d%s.%s" % (base, width, n + 1, "_" + fit(l) if fit(l) else "", ext)
            for n, (_, _, l) in enumerate(labels)]


def split_matches(folder, base, one, labels, ext):
    """The split files, joined in the series' order, are the one file's samples."""
    names = split_names(base, labels, ext)
    present = sorted(f for f in os.listdir(folder) if not f.endswith(".csv"))
    if present != sorted(names):
        print("    files", present[:4], "expected", names[:4])
        return False
    joined = b"".join(file_samples(os.path.join(folder, n)) for n in names)
    return joined == one_file_samples(one) and len(joined) == 2 * sum(l for _, l, _ in labels)


def wav_chunks(path):
    """[(id, body)] of a RIFF WAV, after checking that the RIFF size counts them all."""
    with open(path, "rb") as f:
        raw = f.read()
    if raw[:4] != b"RIFF" or raw[8:12] != b"WAVE" or struct.unpack("<I", raw[4:8])[0] + 8 != len(raw):
        return []
    chunks, at = [], 12
    while at + 8 <= len(raw):
        size = struct.unpack("<I", raw[at + 4:at + 8])[0]
        chunks.append((raw[at:at + 4], raw[at + 8:at + 8 + size]))
        at += 8 + size + size % 2
    return chunks if at == len(raw) else []


def wav_cues_match(path, labels, samples_of):
    """Every cue point at a voice's start, named by its label in LIST/adtl/labl, and the
    samples those of the sample file."""
    chunks = dict(wav_chunks(path))
    cue, lst = chunks.get(b"cue ", b""), chunks.get(b"LIST", b"")
    if not cue or not lst.startswith(b"adtl") or chunks.get(b"data") != samples_of:
        print("    chunks", [c for c, _ in wav_chunks(path)])
        return False
    count = struct.unpack("<I", cue[:4])[0]
    points = {}
    for n in range(count):
        ident, position, fcc, _, _, offset = struct.unpack("<II4sIII", cue[4 + 24 * n:28 + 24 * n])
        points[ident] = (position, offset, fcc)
    names, at = {}, 4
    while at < len(lst):
        kind, size = lst[at:at + 4], struct.unpack("<I", lst[at + 4:at + 8])[0]
        body = lst[at + 8:at + 8 + size]
        if kind == b"labl" and body.endswith(b"\0"):
            names[struct.unpack("<I", body[:4])[0]] = body[4:-1].decode()
        at += 8 + size + size % 2
    want = {n + 1: (start, start, b"data") for n, (start, _, _) in enumerate(labels)}
    if points != want or names != {n + 1: l for n, (_, _, l) in enumerate(labels)}:
        print("    cues", sorted(points.items())[:3], "names", sorted(names.items())[:3])
        return False
    return True


def textgrid_matches(path, labels):
    if not os.path.isfile(path):
        return False
    with open(path, encoding="utf-8") as f:
        text = f.read()
    head = re.match(r'File type = "ooTextFile"\nObject class = "TextGrid"\n\nxmin = 0 \n'
                    r'xmax = (\S+) \ntiers\? <exists> \nsize = 1 \nitem \[\]: \n'
                    r'    item \[1\]:\n        class = "IntervalTier" \n'
                    r'        name = "voices" \n        xmin = 0 \n        xmax = (\S+) \n'
                    r'        intervals: size = (\d+) \n', text)
    intervals = re.findall(r'        intervals \[(\d+)\]:\n            xmin = (\S+) \n'
                           r'            xmax = (\S+) \n            text = "((?:[^"]|"")*)" \n',
                           text)
    end = (labels[-1][0] + labels[-1][1]) / FS
    if not head or float(head.group(1)) != end or float(head.group(2)) != end:
        return False
    if int(head.group(3)) != len(labels) or len(intervals) != len(labels):
        return False
    for n, ((i, xmin, xmax, label), (start, length, want)) in enumerate(zip(intervals, labels)):
        meets = n + 1 == len(intervals) or xmax == intervals[n + 1][1]
        if (int(i) != n + 1 or float(xmin) != start / FS or
                float(xmax) != (start + length) / FS or not meets or
                label.replace('""', '"') != want):
            print("    interval", i, xmin, xmax, label)
            return False
    return True


def main():
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)
        return check_all()


def check_all():
    with open("stim.vta", "w", newline="") as f:
        f.write(DOCUMENT.replace("\n", "\r\n"))
    noisy = DOCUMENT.replace("Randomize=0", "Randomize=1") + "[NoiseLevel]\n0=-20\n"
    with open("noisy.vta", "w", newline="") as f:
        f.write(noisy.replace("\n", "\r\n"))
    batches = document_points(DOCUMENT)
    choices = [
        ("stim.vta", [], ["pitch", "vowel height"]),
        ("stim.vta", ["--include-without"], ["pitch", "vowel height"]),
        ("stim.vta", ["--combinations"], ["pitch", "vowel height"]),
        ("stim.vta", ["--combinations", "--include-without"], ["pitch", "vowel height"]),
        ("stim.vta", ["--combinations", "--only", "vowel height"], ["vowel height"]),
        ("stim.vta", ["--only", "Pitch", "--include-without"], ["pitch"]),
        ("noisy.vta", ["--combinations", "--include-without", "--seed", "7"],
         ["pitch", "vowel height"]),
    ]
    for n, (doc, opts, counted) in enumerate(choices):
        what = "%s %s" % (doc, " ".join(opts) or "(separately)")
        one = "one%d.smp" % n
        built = run("batch", doc, *opts, "-o", one, "--textgrid")
        labels = label_lines("one%d.CSV" % n)
        check("%s: the one file is built" % what, built.returncode == 0 and len(labels) > 0)
        check("%s: the table beside it holds the series" % what,
              table_matches("one%d.stimuli.csv" % n, labels, batches, counted,
                            [one] * len(labels)))
        check("%s: the TextGrid's intervals meet at the voices' starts" % what,
              textgrid_matches("one%d.TextGrid" % n, labels))
        built = run("batch", doc, *opts, "-o", "one%d.wav" % n)
        check("%s: the WAV names every cue point by its voice's label" % what,
              built.returncode == 0 and label_lines("one%d.CSV" % n) == labels and
              wav_cues_match("one%d.wav" % n, labels, one_file_samples(one)))
        for ext in ("smp", "wav"):
            folder = "split%d%s" % (n, ext)
            built = run("batch", doc, *opts, "--split", folder, "--format", ext)
            check("%s: split %s files join to the one file's samples" % (what, ext),
                  built.returncode == 0 and split_matches(folder, doc[:-4], one, labels, ext))
        check("%s: the split table holds the series" % what,
              table_matches(os.path.join(folder, doc[:-4] + ".stimuli.csv"), labels, batches,
                            counted, split_names(doc[:-4], labels, "wav")))
    shards(batches)
    refusals()
    return summary()


def shards(batches):
    """Shards of a split series write, together, the files of the whole series."""
    opts = ["--combinations", "--include-without", "--seed", "3"]
    whole = run("batch", "noisy.vta", *opts, "--split", "whole")
    for k in (1, 2, 3):
        run("batch", "noisy.vta", *opts, "--split", "parts", "--shard", "%d/3" % k)
    files = sorted(f for f in os.listdir("whole") if f.endswith(".wav"))
    voices = len(read_table("whole/noisy.stimuli.csv")[1]) - 1
    same = whole.returncode == 0 and len(files) == voices == 15 and all(
        os.path.exists("parts/" + f) and
        open("whole/" + f, "rb").read() == open("parts/" + f, "rb").read() for f in files)
    check("three shards write the very files of the whole split series", same)
    rows = []
    for k in (1, 2, 3):
        rows += read_table("parts/noisy.shard%dof3.stimuli.csv" % k)[1][1:]
    check("the shards' tables are the rows of the whole one",
          rows == read_table("whole/noisy.stimuli.csv")[1][1:])


def refusals():
    """Wrong calls exit 2 with one line; a failed build leaves the earlier set."""
    for opts, said in ((["--split", "d", "--textgrid"], "--textgrid needs the series in one file"),
                       (["--format", "wav"], "--format goes with --split"),
                       (["--split", "d", "-o", "x.wav"], "--split DIR takes the place of -o"),
                       (["--split", "d", "--format", "mp3"], "--format takes wav, flac")):
        r = run("batch", "stim.vta", *opts)
        check("%s is refused in one line" % " ".join(opts),
              r.returncode == 2 and r.stderr.count("\n") == 1 and said in r.stderr and
              not os.path.exists("d"))
    document = open("stim.vta", "rb").read()
    r = run("batch", "noisy.vta", "--split", "stim.vta")
    check("a split folder that is a file is refused, the file left as it was",
          r.returncode == 1 and "a file of that name is in the way" in r.stderr and
          open("stim.vta", "rb").read() == document)
    run("batch", "stim.vta", "-o", "set.wav")
    before = {f: open(f, "rb").read() for f in ("set.wav", "set.CSV", "set.stimuli.csv")}
    os.mkdir("set.TextGrid")
    r = run("batch", "stim.vta", "--combinations", "-o", "set.wav", "--textgrid")
    after = {f: open(f, "rb").read() for f in before}
    check("a TextGrid that cannot be written leaves the earlier set as it was",
          r.returncode == 1 and "set.TextGrid" in r.stderr and after == before and
          not [f for f in os.listdir(".") if "~tmp" in f])
    r = run("batch", "stim.vta", "-o", "x.TextGrid", "--textgrid")
    check("a TextGrid that would be the series' file is refused",
          r.returncode == 1 and not os.path.exists("x.TextGrid"))


if __name__ == "__main__":
    sys.exit(main())
