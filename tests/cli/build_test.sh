#!/usr/bin/env bash
# vocanta-cli build and batch end to end: sizes, labels, reproducible bytes, exit
# status, Ctrl+C, full disks and outputs that would be the document.
set -uo pipefail
cli=$(realpath "$1")
data=$2
source "$(dirname "$0")/check_lib.sh"

cp "$data/batch_vowels.vta" "$work/v.vta"
"$cli" build "$work/v.vta" >"$work/out" 2>"$work/err"
st=$?
check "a plain build succeeds" '[ $st -eq 0 ] && grep -qx "Done" "$work/out" && grep -q "^Build took " "$work/out"'
check "the sample file lands beside the document" '[ $(stat -c %s "$work/v.smp") -eq $((1024 + 2 * 400)) ]'
check "proc0 names the document" 'head -c 200 "$work/v.smp" | grep -aq "proc0=Vocanta $work/v.vta"'
(cd "$work" && "$cli" build v.vta -o again.smp >/dev/null 2>&1)
check "relative paths are named in full" 'head -c 200 "$work/again.smp" | grep -aq "proc0=Vocanta $work/v.vta"' 
st=$?
check "the same document gives the same samples" 'cmp -s <(tail -c +1025 "$work/v.smp") <(tail -c +1025 "$work/again.smp")'

"$cli" batch "$work/v.vta" --combinations --include-without -o "$work/b.smp" >/dev/null 2>"$work/err"
st=$?
check "a combination batch succeeds" '[ $st -eq 0 ]'
printf '%s\r\n' "$work/b.smp" "0,400,No batch" "400,400, Vowel 0" "800,400, Vowel 1" "1200,400, Vowel 2" \
  "1600,400, Pitch 0" "2000,400, Pitch 0 Vowel 0" "2400,400, Pitch 0 Vowel 1" "2800,400, Pitch 0 Vowel 2" \
  "3200,400, Pitch 1" "3600,400, Pitch 1 Vowel 0" "4000,400, Pitch 1 Vowel 1" "4400,400, Pitch 1 Vowel 2" >"$work/expected.CSV"
check "the label file names every voice" 'cmp -s "$work/b.CSV" "$work/expected.CSV"'
check "the header names the label file" 'head -c 300 "$work/b.smp" | grep -aq "labels=$work/b.CSV"'
check "twelve voices of 400 samples" '[ $(stat -c %s "$work/b.smp") -eq $((1024 + 2 * 4800)) ]'

"$cli" batch "$work/v.vta" --only pitch -o "$work/p.smp" >/dev/null 2>&1
st=$?
check "--only picks the counted batches" '[ "$(tail -n +2 "$work/p.CSV" | tr -d "\r")" = "$(printf "0,400,Pitch 0\n400,400,Pitch 1")" ]'
"$cli" batch "$work/v.vta" --only Nothing -o "$work/n.smp" >/dev/null 2>"$work/err"
st=$?
check "an unknown batch is refused" '[ $st -ne 0 ] && grep -q "no batch named" "$work/err" && [ ! -e "$work/n.smp" ]'

sed -e 's/Randomize=0/Randomize=1/' -e 's/TotalDuration=0.05/TotalDuration=0.01/' "$work/v.vta" >"$work/r.vta"
printf '[NoiseLevel]\r\n0=-20\r\n' >>"$work/r.vta"
"$cli" build "$work/r.vta" --seed 7 -o "$work/r1.smp" >/dev/null 2>&1
st=$?
"$cli" build "$work/r.vta" --seed 7 -o "$work/r2.smp" >/dev/null 2>&1
st=$?
"$cli" build "$work/r.vta" --seed 8 -o "$work/r3.smp" >/dev/null 2>&1
st=$?
check "a fixed seed repeats a randomized build" 'cmp -s "$work/r1.smp" "$work/r2.smp"'
check "another seed gives another voice" '! cmp -s "$work/r1.smp" "$work/r3.smp"'

sed -e 's/TotalDuration=0.05/TotalDuration=600/' -e 's/SamplingFrequency=8000/SamplingFrequency=44100/' "$work/v.vta" >"$work/long.vta"
"$cli" build "$work/long.vta" -o "$work/long.smp" >"$work/out" 2>&1 &
pid=$!
sleep 1.5
kill -INT $pid
wait $pid
status=$?
size=$(stat -c %s "$work/long.smp")
check "Ctrl+C breaks the build" '[ $status -ne 0 ] && grep -qx "Break!" "$work/out"'
check "the broken file holds whole samples after the header" '[ $size -gt 1024 ] && [ $(( (size - 1024) % 2 )) -eq 0 ]'

# Billions of partials in one sample: Ctrl+C still gets through, long before the bound.
sed 's/nTweenies=1/nTweenies=2147483647/' "$data/batch_vowels.vta" >"$work/absurd.vta"
timeout -s KILL 60 "$cli" build "$work/absurd.vta" -o "$work/absurd.smp" >"$work/out" 2>&1 &
pid=$!
sleep 1
kill -INT $pid  # timeout hands it on to vocanta-cli
wait $pid
status=$?
check "Ctrl+C breaks inside an endless sample" '[ $status -eq 1 ] && grep -qx "Break!" "$work/out"'
check "the sample given up is not in the file" '[ $(stat -c %s "$work/absurd.smp") -eq 1024 ]'

# A full disk (here a file size limit) ends the build and says why.
(trap '' XFSZ; ulimit -f 2; "$cli" build "$work/long.vta" -o "$work/full.smp" >"$work/out" 2>"$work/err")
st=$?
check "a short write is explained" '[ $st -eq 1 ] && grep -qx "Not Complete" "$work/out" && grep -q "^vocanta-cli: Cannot write to $work/full.smp: File too large$" "$work/err"'
check "the short file ends with whole samples" '[ $(stat -c %s "$work/full.smp") -eq 2048 ]'

# No output may be the document just read: refused before anything is written.
cp "$data/batch_vowels.vta" "$work/doc.smp"
"$cli" build "$work/doc.smp" >"$work/out" 2>"$work/err"
st=$?
check "the default sample file of doc.smp is the document: refused" '[ $st -eq 1 ] && [ ! -s "$work/out" ] && grep -q "would overwrite the document $work/doc.smp" "$work/err" && cmp -s "$work/doc.smp" "$data/batch_vowels.vta"'
(cd "$work" && "$cli" build v.vta -o ./sub/../v.vta >"$work/out" 2>"$work/err")
st=$?
check "-o naming the document is refused" '[ $st -eq 1 ] && grep -q "would overwrite the document" "$work/err" && cmp -s "$work/v.vta" "$data/batch_vowels.vta"'
cp "$data/batch_vowels.vta" "$work/x.CSV"
"$cli" batch "$work/x.CSV" >"$work/out" 2>"$work/err"
st=$?
check "a label file that is the document is refused" '[ $st -eq 1 ] && grep -q "The label file $work/x.CSV would overwrite the document" "$work/err" && cmp -s "$work/x.CSV" "$data/batch_vowels.vta" && [ ! -e "$work/x.smp" ]'

"$cli" build "$work/v.vta" --seed >/dev/null 2>"$work/err"
st=$?
check "a wrong call says so in one line that points at the help" '[ $st -eq 2 ] && [ $(wc -l <"$work/err") -eq 1 ] && grep -q "^vocanta-cli build: --seed needs a value (see .vocanta-cli build --help.)$" "$work/err"'
sed 's/Gain=-20/Gain=loud/' "$data/batch_vowels.vta" >"$work/bad.vta"
printf 'an earlier build' >"$work/bad.smp"
"$cli" build "$work/bad.vta" >/dev/null 2>"$work/err"
st=$?
check "a bad setting is reported" '[ $st -ne 0 ] && grep -q "'"'"'loud'"'"' is not a valid floating point value" "$work/err"'
check "a bad setting leaves the sample file as it was" '[ "$(cat "$work/bad.smp")" = "an earlier build" ]'

finish
