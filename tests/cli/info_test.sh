#!/usr/bin/env bash
# vocanta-cli info on audio files and as JSON: every format it writes is described, and
# the JSON of a series lists the voices of its label file, as a script reads them.
set -uo pipefail
cli=$(realpath "$1")
data=$2
source "$(dirname "$0")/check_lib.sh"

cp "$data/batch_vowels.vta" "$work/v.vta"
for ext in smp wav flac aiff; do
  "$cli" batch "$work/v.vta" -o "$work/s.$ext" --seed 3 >/dev/null 2>&1
done

"$cli" info "$work/s.flac" >"$work/out" 2>&1
printf '%s\n' format=flac encoding=pcm16 channels=1 samplerate=8000 \
  "length: 2000 samples, 0.250 s" >"$work/expected"
check "info describes an audio file by its format" 'cmp -s "$work/out" "$work/expected"'

# Each format's JSON against its own label file, read independently of the program.
for ext in smp wav flac aiff; do
  "$cli" info --json "$work/s.$ext" >"$work/$ext.json" 2>"$work/err"
  check "info --json of the .$ext series parses and lists its label file's voices" \
    'python3 - "$work/$ext.json" "$work/s.CSV" "$ext" <<"PY"
import json, sys
info = json.load(open(sys.argv[1], encoding="utf-8"))
lines = open(sys.argv[2], encoding="utf-8", newline="").read().split("\r\n")[1:-1]
rows = [l.split(",", 2) for l in lines]
assert info["format"] == sys.argv[3], info["format"]
assert info["sampling_frequency"] == 8000 and info["samples"] == 2000
assert info["seconds"] == 0.25 and info["channels"] == 1
assert (info["header"].get("sftot") == "8000") == (sys.argv[3] == "smp")
voices = info["voices"]
assert [(v["start"], v["length"], v["label"]) for v in voices] == \
    [(int(a), int(b), c) for a, b, c in rows], voices
assert [v["index"] for v in voices] == list(range(1, len(rows) + 1))
assert all(v["start_seconds"] == v["start"] / 8000 for v in voices)
PY'
done

# A label with a quote, a backslash, a tab and a byte that is no UTF-8 still gives JSON.
printf '%s\r\n' "$work/s.wav" "0,1000,say \"a\"	\\ $(printf '\xff')" "1000,1000,ä" >"$work/s.CSV"
"$cli" info --json "$work/s.wav" >"$work/odd.json" 2>&1
check "labels are escaped and stray bytes replaced" \
  'python3 -c "import json,sys; v=json.load(open(sys.argv[1]))[\"voices\"]; assert [x[\"label\"] for x in v]==[\"say \\\"a\\\"\t\\\\ \ufffd\",\"ä\"], v" "$work/odd.json"'

# A .CSV beside the file that is no label file costs the voices, not the description.
printf 'name,age\r\nAnn,thirty\r\n' >"$work/s.CSV"
"$cli" info --json "$work/s.wav" >"$work/plain.json" 2>"$work/err"
st=$?
check "a foreign .CSV is said and left out" \
  '[ $st -eq 0 ] && grep -q "voices are left out" "$work/err" && python3 -c "import json,sys; assert \"voices\" not in json.load(open(sys.argv[1]))" "$work/plain.json"'

printf 'not a sound' >"$work/junk.wav"
"$cli" info --json "$work/junk.wav" >"$work/out" 2>"$work/err"
st=$?
check "a file that is no sound fails with the reason" '[ $st -eq 1 ] && [ ! -s "$work/out" ] && grep -q "junk.wav" "$work/err"'
finish
