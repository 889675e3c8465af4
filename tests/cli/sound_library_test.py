#!/usr/bin/env python3
"""libsndfile is loaded only for the audio files that need it, and its absence is one
clear error line.

The loader's own trace (LD_DEBUG=libs) tells which libraries a run loaded; a library
preloaded into the tool stands for a system without libsndfile.
Usage: sound_library_test.py CLI DATA_DIR NO_SOUND_LIBRARY_SO
"""
import os
import shutil
import subprocess
import sys
import tempfile
import wave
from script_checks import check, summary

CLI = os.path.realpath(sys.argv[1])
DATA = os.path.realpath(sys.argv[2])
NO_LIBRARY = os.path.realpath(sys.argv[3])
CANNOT_LOAD = ("vocanta-cli: Cannot load libsndfile.so.1, which reads and writes WAV, "
               "FLAC and AIFF files: ")
SMP_HEADER = 1024


def traced(*args):
    """Runs the tool and returns (result, the libraries it loaded, as the loader says)."""
    for name in os.listdir("."):
        if name.startswith("trace."):
            os.remove(name)
    env = dict(os.environ, LD_DEBUG="libs", LD_DEBUG_OUTPUT=os.path.abspath("trace"))
    result = subprocess.run([CLI, *args], capture_output=True, text=True, env=env)
    trace = ""
    for name in os.listdir("."):
        if name.startswith("trace."):
            with open(name) as f:
                trace += f.read()
    return result, trace


def without_library(*args):
    """Runs the tool where dlopen finds no libsndfile."""
    # A sanitized tool needs its runtime first among the libraries; its own dlopen then
    # passes the call on to the stand-in.
    runtime = [line.split()[2] for line in subprocess.run(
        ["ldd", CLI], capture_output=True, text=True).stdout.splitlines()
        if line.strip().startswith("libasan.so")]
    env = dict(os.environ, LD_PRELOAD=":".join(runtime + [NO_LIBRARY]))
    return subprocess.run([CLI, *args], capture_output=True, text=True, env=env)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def loads_only_when_needed():
    # The runs that touch no audio file, each with the loader's trace to prove it ran.
    for args in (["--version"], ["--help"], ["build", "--help"], ["build", "v.vta"],
                 ["build", "v.vta", "-o", "z.smp"], ["batch", "v.vta", "--count"],
                 ["batch", "v.vta", "-o", "b.smp"], ["info", "v.smp"],
                 ["resave", "v.vta", "r.vta"]):
        r, trace = traced(*args)
        check(" ".join(args) + " does not load libsndfile",
              r.returncode == 0 and "libc.so.6" in trace and "libsndfile" not in trace)
    for args in (["build", "v.vta", "-o", "v.wav"], ["build", "v.vta", "-o", "v.flac"],
                 ["info", "v.wav"], ["convert", "v.smp", "c.aiff"]):
        r, trace = traced(*args)
        check(" ".join(args) + " loads libsndfile",
              r.returncode == 0 and "libsndfile.so.1" in trace)


def writes_the_samples():
    samples = read("v.smp")[SMP_HEADER:]
    with wave.open("v.wav", "rb") as w:
        frames = w.readframes(w.getnframes())
        shape = (w.getnchannels(), w.getsampwidth(), w.getframerate())
    # 44 bytes: the RIFF header with its format and data chunks, and nothing else.
    check("the WAV holds the sample file's samples, mono 16-bit at 8000 Hz, in 44 bytes more",
          len(samples) > 0 and frames == samples and shape == (1, 2, 8000) and
          len(read("v.wav")) == 44 + len(samples))
    r, _ = traced("info", "v.flac")
    check("the FLAC holds as many samples",
          r.returncode == 0 and f"length: {len(samples) // 2} samples" in r.stdout)
    r, _ = traced("convert", "v.smp", "c.wav")
    check("convert writes the WAV the build writes", r.returncode == 0 and read("c.wav") ==
          read("v.wav"))


def refuses_without_library():
    for name in ("v.wav", "v.flac"):
        shutil.copy(name, "earlier." + name)
    for args, kept in ((["build", "v.vta", "-o", "v.wav"], "v.wav"),
                       (["batch", "v.vta", "-o", "v.flac"], "v.flac"),
                       (["convert", "v.smp", "n.aiff"], None),
                       (["batch", "v.vta", "--split", "parts", "--format", "wav"], None),
                       (["info", "v.wav"], None)):
        r = without_library(*args)
        lines = r.stderr.splitlines()
        check(" ".join(args) + " without libsndfile: one line, status 1, files left alone",
              r.returncode == 1 and len(lines) == 1 and lines[0].startswith(CANNOT_LOAD) and
              (kept is None or read(kept) == read("earlier." + kept)) and
              not os.path.exists("n.aiff") and
              not [f for f in os.listdir("parts") if f.endswith(".wav")] and
              not [f for f in os.listdir(".") if "~tmp" in f])
    r = without_library("build", "v.vta", "-o", "w.smp")
    check("a sample file is built without libsndfile, the same as with it",
          r.returncode == 0 and read("w.smp")[SMP_HEADER:] == read("v.smp")[SMP_HEADER:])


def main():
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)
        shutil.copy(os.path.join(DATA, "batch_vowels.vta"), "v.vta")
        os.mkdir("parts")
        loads_only_when_needed()
        writes_the_samples()
        refuses_without_library()
    return summary()


if __name__ == "__main__":
    sys.exit(main())
