"""Documents through the module: what it saves the program reads and writes again
unchanged, and it refuses what the program refuses with the program's messages."""

import pytest

import vocanta
from conftest import DATA, TEMPLATES, run_cli


def resave(cli, path, tmp_path):
    again = tmp_path / ("again_" + path.name)
    run_cli(cli, "resave", path, again)
    return again.read_bytes()


def test_save_writes_what_the_program_writes(cli, tmp_path):
    for document in [TEMPLATES / "men_ah.vta", DATA / "every_feature.vta", DATA / "batch_vowels.vta"]:
        ours = tmp_path / document.name
        vocanta.open(document).save(ours)
        assert ours.read_bytes() == resave(cli, document, tmp_path)
    new = tmp_path / "new.vta"
    vocanta.Voice().save(new)
    assert new.read_bytes() == resave(cli, new, tmp_path)


def edit(voice):
    voice.gain = -12.5
    voice.duration = "0.3"
    voice.sampling_frequency = 22050
    voice.max_harmonics = 80
    formants = voice.parameters["Formants"]
    first = formants.curves[0]
    first.points[0].batch_range = 200
    # One batch: a document's batches come back in the reverse order from each read.
    voice.batches["F1"].name = "First formant"
    point = first.add_point(0.2, 450, batch="First formant", batch_range=-100)
    formants.curves[2].remove()
    f0 = voice.parameters["F0"].curves[0]
    f0.add_point(0.25, 120)
    f0.points[0].x = 0.3  # moved past the other point: the curve is sorted again
    voice.batches["First formant"].steps = 4
    voice.parameters[0].default = -3
    return point


def test_a_changed_document_reads_back_in_the_program(cli, tmp_path):
    voice = vocanta.open(TEMPLATES / "men_ih_eh_f1_continuum.vta")
    point = edit(voice)
    assert [p.x for p in voice.parameters["F0"].curves[0].points] == [0.25, 0.3]
    assert point.batch == "First formant" and point.batch_y == 450
    assert voice.batches.names() == ["First formant"]
    assert len(voice.parameters["Formants"].curves) == 2
    saved = tmp_path / "changed.vta"
    voice.save(saved)
    assert saved.read_bytes() == resave(cli, saved, tmp_path)
    back = vocanta.open(saved)
    assert (back.gain, back.duration, back.sampling_frequency, back.max_harmonics) == (
        -12.5, 0.3, 22050, 80)
    assert back.parameters[0].default == -3
    assert [b.steps for b in back.batches] == [4]
    points = back.parameters["Formants"].curves[0].points
    assert repr(points[0]) == "<vocanta.Point 0=390;390;200;First formant>"
    assert repr(points[1]) == "<vocanta.Point 0.2=450;450;-100;First formant>"
    assert back.render().tobytes() == voice.render().tobytes()


def test_undo_takes_edits_back(tmp_path):
    original = tmp_path / "o.vta"
    vocanta.open(TEMPLATES / "men_ih_eh_f1_continuum.vta").save(original)
    voice = vocanta.open(original)
    edit(voice)
    with pytest.raises(vocanta.Error):
        voice.redo()
    for _ in range(40):
        try:
            voice.undo()
        except vocanta.Error:
            break
    voice.save(tmp_path / "undone.vta")
    assert (tmp_path / "undone.vta").read_bytes() == original.read_bytes()


def test_parameters_by_name_and_index():
    voice = vocanta.Voice()
    params = list(voice.parameters)
    assert len(voice.parameters) == len(params) == 23
    assert [p.index for p in params] == list(range(23))
    assert voice.parameters.names() == [p.name for p in params]
    for p in params:
        assert voice.parameters[p.name].index == p.index == voice.parameters[p.key].index
        assert len(p.curves) == 0
    assert voice.parameters["F0"].default == 100
    assert voice.parameters[-1].index == 22
    with pytest.raises(KeyError):
        voice.parameters["F9"]
    with pytest.raises(IndexError):
        voice.parameters[23]


def refusal(cli, path):
    done = run_cli(cli, "resave", path, path.parent / "never.vta", check=False)
    assert done.returncode != 0
    return done.stderr.strip().removeprefix("vocanta-cli: ")


def test_refused_documents_raise_the_programs_message(cli, tmp_path):
    not_vocanta = tmp_path / "list.vta"
    not_vocanta.write_text("[Common]\r\nFiletype=Other\r\n")
    bad_number = tmp_path / "bad.vta"
    bad_number.write_text((DATA / "batch_vowels.vta").read_text().replace("0=100;", "0=1x0;"))
    for path in [tmp_path / "missing.vta", tmp_path, not_vocanta, bad_number]:
        with pytest.raises(vocanta.Error) as raised:
            vocanta.open(path)
        assert str(raised.value) == refusal(cli, path)


def test_bad_values_raise_the_programs_message():
    voice = vocanta.open(TEMPLATES / "men_ih_eh_f1_continuum.vta")
    before = voice.settings_text
    cases = [
        ("gain", "loud", "Gain [dB]: 'loud' is not a valid floating point value"),
        ("max_harmonics", 2.5, "Max # of harmonics: '2.5' is not a valid integer value"),
        ("tweenies", "", "# of subharmonic tweenies: '' is not a valid integer value"),
        ("duration", 0, "The voice duration must be greater than 0 s, not 0"),
        ("sampling_frequency", 10**7, "10000000"),
    ]
    for name, value, message in cases:
        with pytest.raises(vocanta.Error, match=message.replace("[", r"\[").replace("+", r"\+")):
            setattr(voice, name, value)
    assert voice.settings_text == before
    batch = voice.batches["F1"]
    with pytest.raises(vocanta.Error, match="from 0 to 32767, not '-1'"):
        batch.steps = -1
    point = voice.parameters["F0"].curves[0].points[0]
    point.batch = "Other"
    with pytest.raises(vocanta.Error):
        batch.name = "other"  # a name the document could not tell from Other's
    with pytest.raises(vocanta.Error):
        point.batch = "a=b\nc"
    with pytest.raises(vocanta.Error, match="finite"):
        point.y = float("nan")
    assert voice.batches.names() == ["F1", "Other"]


def test_removed_things_are_refused():
    voice = vocanta.open(DATA / "batch_vowels.vta")
    point = voice.parameters["F0"].curves[0].points[0]
    curve = voice.parameters["F0"].curves[0]
    point.remove()
    assert len(voice.parameters["F0"].curves) == 0
    for touch in [lambda: point.y, lambda: curve.points, lambda: setattr(point, "x", 1)]:
        with pytest.raises(vocanta.Error, match="removed from F0"):
            touch()
    pitch = voice.batches["Pitch"]
    voice.batches["Vowel"].remove()
    assert voice.parameters["Formants"].curves[0].points[0].batch is None
    assert list(voice.batches) == [pitch]
