"""Ctrl+C breaks a long render."""

import os
import subprocess
import sys
import textwrap
import time

from conftest import TEMPLATES

CHILD = textwrap.dedent(
    """
    import os, signal, sys, threading, time
    import vocanta
    voice = vocanta.open(sys.argv[1])
    voice.duration = 600
    voice.sampling_frequency = 48000
    threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT)).start()
    start = time.monotonic()
    try:
        voice.render()
    except KeyboardInterrupt:
        print("interrupted after", time.monotonic() - start)
        sys.exit(3)
    print("rendered to the end")
    """
)


def test_ctrl_c_interrupts_a_long_render():
    started = time.monotonic()
    done = subprocess.run(
        [sys.executable, "-c", CHILD, str(TEMPLATES / "men_ah.vta")],
        capture_output=True,
        text=True,
        env=os.environ,
        timeout=60,
    )
    assert done.returncode == 3, done.stdout + done.stderr
    assert done.stdout.startswith("interrupted after")
    # Ten minutes of voice would take far longer than this.
    assert float(done.stdout.split()[-1]) < 5
    assert time.monotonic() - started < 30
