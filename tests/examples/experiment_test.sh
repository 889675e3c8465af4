#!/usr/bin/env bash
# The listening-test walk-through end to end: a continuum built from its template, read
# by the phonetics program's script through the stimulus table and the TextGrid, which
# must agree row by row; each stimulus's measured F1 lies near the F1 the table names,
# and they rise along the continuum. Split files are measured the same.
set -uo pipefail
cli=$(realpath "$1")
praat=$2
source_dir=$3
source "$source_dir/tests/cli/check_lib.sh"

cp "$source_dir/examples/templates/men_ih_eh_f1_continuum.vta" "$work/cont.vta"
cp "$source_dir/examples/experiment/measure_f1.praat" "$work/"
cd "$work" || exit 1
"$cli" batch cont.vta -o cont.wav --textgrid >/dev/null 2>&1
"$cli" batch cont.vta --split stim >/dev/null 2>&1

measured_well() {
  python3 - "$1" <<"PY"
import sys
rows = [l.split("\t") for l in open(sys.argv[1]).read().splitlines()[1:]]
assert len(rows) == 7, rows
nominal = [float(r[2]) for r in rows]
f1 = [float(r[3]) for r in rows]
assert all(abs(m - n) / n < 0.08 for m, n in zip(f1, nominal)), list(zip(nominal, f1))
assert all(a < b for a, b in zip(f1, f1[1:])), f1
PY
}

"$praat" --run measure_f1.praat cont.stimuli.csv cont.TextGrid 5000 >one.txt 2>&1
check "the script reads table, TextGrid and sound of one file, and F1 follows the table" \
  'measured_well one.txt'
"$praat" --run measure_f1.praat stim/cont.stimuli.csv "" 5000 >split.txt 2>&1
check "the split files measure the same" \
  'measured_well split.txt && [ "$(cut -f1-4 one.txt)" = "$(cut -f1-4 split.txt)" ]'
finish
