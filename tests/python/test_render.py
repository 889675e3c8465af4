"""The module's samples are vocanta-cli's, byte for byte."""

import wave

import numpy as np
import pytest

import vocanta
from conftest import DATA, TEMPLATES, label_lines, run_cli, sample_bytes

PLAIN = [
    TEMPLATES / "men_ah.vta",
    TEMPLATES / "women_i.vta",
    TEMPLATES / "children_u.vta",
    TEMPLATES / "men_ih_eh_f1_continuum.vta",
    DATA / "batch_vowels.vta",
    DATA / "every_feature.vta",
]


@pytest.mark.parametrize("document", PLAIN, ids=lambda p: p.name)
def test_render_equals_cli_build(cli, tmp_path, document):
    out = tmp_path / "cli.smp"
    run_cli(cli, "build", document, "-o", out, "--seed", 7)
    samples = vocanta.open(document).render(seed=7)
    assert samples.dtype == np.int16
    assert len(samples) > 0
    assert samples.astype("<i2").tobytes() == sample_bytes(out)


def test_reference_engine_and_seeded_randomize(cli, tmp_path):
    voice = vocanta.open(DATA / "batch_vowels.vta")
    voice.randomize = True
    voice.parameters["Noise level"].curves.add().add_point(0, -20)
    voice.parameters["Phase randomness"].default = 50
    document = tmp_path / "random.vta"
    voice.save(document)
    run_cli(cli, "build", document, "-o", tmp_path / "r.smp", "--seed", 11, "--engine", "reference")
    reference = voice.render(engine="reference", seed=11)
    assert reference.astype("<i2").tobytes() == sample_bytes(tmp_path / "r.smp")
    assert np.array_equal(voice.render(seed=11), reference)
    # Another seed is another voice: the randomizing really takes the seed.
    assert not np.array_equal(voice.render(seed=12), reference)
    with pytest.raises(vocanta.Error, match="fast.*reference"):
        voice.render(engine="quick")


@pytest.mark.parametrize(
    "choice,flags",
    [
        ({}, []),
        ({"combinations": True, "include_without": True}, ["--combinations", "--include-without"]),
        ({"only": ["Pitch"]}, ["--only", "Pitch"]),
    ],
    ids=["separately", "combinations", "only"],
)
def test_render_batch_equals_cli_batch(cli, tmp_path, choice, flags):
    out = tmp_path / "b.smp"
    run_cli(cli, "batch", DATA / "batch_vowels.vta", "-o", out, "--seed", 3, *flags)
    voices = vocanta.open(DATA / "batch_vowels.vta").render_batch(seed=3, **choice)
    spans = label_lines(tmp_path / "b.CSV")
    assert [v.label for v in voices] == [label for _, _, label in spans]
    assert [len(v.samples) for v in voices] == [count for _, count, _ in spans]
    joined = np.concatenate([v.samples for v in voices]).astype("<i2").tobytes()
    assert joined == sample_bytes(out)
    for v in voices:
        for name, step in v.steps.items():
            assert f"{name} {step}" in v.label


def test_batch_steps_follow_the_series(cli):
    voice = vocanta.open(TEMPLATES / "men_ih_eh_f1_continuum.vta")
    voice.batches["F1"].steps = 3
    voices = voice.render_batch()
    assert [v.steps for v in voices] == [{"F1": s} for s in range(4)]
    assert len({v.samples.tobytes() for v in voices}) == 4
    with pytest.raises(vocanta.Error, match="no batch named 'F2'"):
        voice.render_batch(only=["F2"])


def test_build_writes_what_the_cli_writes(cli, tmp_path):
    document = TEMPLATES / "women_ae.vta"
    voice = vocanta.open(document)
    for name in ["m.wav", "m.smp", "m.flac"]:
        voice.build(tmp_path / name)
        run_cli(cli, "build", document, "-o", tmp_path / ("cli_" + name))
    assert (tmp_path / "m.wav").read_bytes() == (tmp_path / "cli_m.wav").read_bytes()
    assert (tmp_path / "m.flac").read_bytes() == (tmp_path / "cli_m.flac").read_bytes()
    assert sample_bytes(tmp_path / "m.smp") == sample_bytes(tmp_path / "cli_m.smp")
    with wave.open(str(tmp_path / "m.wav")) as w:
        assert w.getframerate() == voice.sampling_frequency
        assert w.readframes(w.getnframes()) == voice.render().astype("<i2").tobytes()
    with pytest.raises(vocanta.Error, match="Unable to write|Cannot"):
        voice.build(tmp_path / "no" / "such" / "folder" / "x.wav")
