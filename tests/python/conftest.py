"""What the module's tests share: vocanta-cli, the documents and byte comparisons."""

import os
import pathlib
import subprocess

import pytest

SOURCE = pathlib.Path(os.environ.get("VOCANTA_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
TEMPLATES = SOURCE / "examples" / "templates"
DATA = SOURCE / "tests" / "data"
# A sample file's header comes before its samples.
SAMPLE_HEADER = 1024


@pytest.fixture(scope="session")
def cli():
    path = os.environ.get("VOCANTA_CLI")
    if not path:
        pytest.fail("VOCANTA_CLI names no vocanta-cli; CTest sets it")
    return path


def run_cli(cli, *args, check=True):
    done = subprocess.run([cli, *map(str, args)], capture_output=True, text=True)
    if check and done.returncode != 0:
        raise AssertionError(f"vocanta-cli {args} failed: {done.stderr}")
    return done


def sample_bytes(path):
    return pathlib.Path(path).read_bytes()[SAMPLE_HEADER:]


def label_lines(path):
    """The voices of a label file: (start, count, label) after its first line."""
    lines = pathlib.Path(path).read_bytes().decode().split("\r\n")[1:]
    spans = []
    for line in filter(None, lines):
        start, count, label = line.split(",", 2)
        spans.append((int(start), int(count), label))
    return spans
