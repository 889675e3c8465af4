#!/usr/bin/env bash
# vocanta-cli convert and info end to end, and builds straight to audio files: a
# converted file equals the one a build writes, refusals leave files alone.
set -uo pipefail
cli=$(realpath "$1")
data=$2
source "$(dirname "$0")/check_lib.sh"

cp "$data/batch_vowels.vta" "$work/v.vta"
"$cli" build "$work/v.vta" >/dev/null 2>&1
"$cli" build "$work/v.vta" -o "$work/built.WAV" >/dev/null 2>&1
"$cli" build "$work/v.vta" -o "$work/built.flac" >/dev/null 2>&1
"$cli" convert "$work/v.smp" "$work/c.wav" 2>"$work/err"
st=$?
check "convert writes the WAV a build writes" '[ $st -eq 0 ] && [ ! -s "$work/err" ] && cmp -s "$work/c.wav" "$work/built.WAV"'
"$cli" convert "$work/v.smp" "$work/c.flac" 2>/dev/null
check "convert writes the FLAC a build writes" 'cmp -s "$work/c.flac" "$work/built.flac"'

"$cli" info "$work/v.smp" >"$work/out" 2>&1
st=$?
printf '%s\n' "file=samp" "sftot=8000" "nchans=1" "msb=last" "proc0=Vocanta $work/v.vta" \
  "length: 400 samples, 0.050 s" >"$work/expected"
check "info prints the header items and the length" '[ $st -eq 0 ] && cmp -s "$work/out" "$work/expected"'

"$cli" batch "$work/v.vta" -o "$work/b.wav" >/dev/null 2>&1
st=$?
check "a batch to WAV writes its label file beside it" '[ $st -eq 0 ] && [ "$(head -n 1 "$work/b.CSV" | tr -d "\r")" = "$work/b.wav" ]'

"$cli" convert "$work/v.smp" "$work/c.mp3" 2>"$work/err"
st=$?
check "an unknown extension is a wrong call" '[ $st -eq 2 ] && grep -q "name the file .wav, .flac, .aif or .aiff" "$work/err" && [ ! -e "$work/c.mp3" ]'
cp "$work/v.smp" "$work/s.wav"
"$cli" convert "$work/s.wav" "$work/./s.wav" 2>"$work/err"
st=$?
check "an OUT that is IN is refused" '[ $st -eq 2 ] && grep -q "is the file to convert" "$work/err" && cmp -s "$work/s.wav" "$work/v.smp"'
echo earlier >"$work/d.wav"
"$cli" convert "$work/v.vta" "$work/d.wav" 2>"$work/err"
st=$?
check "a document is no sample file" '[ $st -eq 1 ] && grep -q "v.vta is not a sample file" "$work/err" && [ "$(cat "$work/d.wav")" = earlier ]'
"$cli" info "$work/none.smp" 2>"$work/err"
st=$?
check "a missing file says so" '[ $st -eq 1 ] && grep -q "Cannot read $work/none.smp: No such file or directory" "$work/err"'
"$cli" info 2>"$work/err"
st=$?
check "info without a file says so and points at its help" '[ $st -eq 2 ] && [ $(wc -l <"$work/err") -eq 1 ] && grep -q "^vocanta-cli info: no file given (see .vocanta-cli info --help.)$" "$work/err"'

# Sizes a format cannot hold are refused before anything is written: a sparse sample
# file stands for the large input, and a long batch for the large build. Bounded in time
# and file size, so that a regression fails instead of filling the disk.
bounded() { (trap '' XFSZ; ulimit -f 1000; timeout 20 "$@"); }
head -c 1024 "$work/v.smp" >"$work/huge.smp"
truncate -s $((1024 + 2 * (1 << 31))) "$work/huge.smp"
bounded "$cli" convert "$work/huge.smp" "$work/huge.aiff" 2>"$work/err"
st=$?
check "an AIFF beyond 2 GiB is refused" '[ $st -eq 1 ] && grep -q "an AIFF file cannot hold 2147483648 samples" "$work/err" && [ ! -e "$work/huge.aiff" ]'
truncate -s $((1024 + 2 * (1 << 36))) "$work/huge.smp"
bounded "$cli" convert "$work/huge.smp" "$work/huge.flac" 2>"$work/err"
st=$?
check "a FLAC of 2^36 samples is refused" '[ $st -eq 1 ] && grep -q "a FLAC file cannot hold 68719476736 samples" "$work/err" && [ ! -e "$work/huge.flac" ]'
rm -f "$work/huge.smp"
sed -e 's/TotalDuration=0.05/TotalDuration=100000/' "$work/v.vta" >"$work/huge.vta"
echo earlier >"$work/huge.wav"
bounded "$cli" batch "$work/huge.vta" --combinations --include-without -o "$work/huge.wav" >"$work/out" 2>"$work/err"
st=$?
check "a WAV batch beyond 4 GiB is refused before rendering" '[ $st -eq 1 ] && grep -q "more than 4 GiB) cannot keep the cue points of its 12 voices" "$work/err" && [ "$(cat "$work/huge.wav")" = earlier ] && [ ! -e "$work/huge.CSV" ]'
sed -e 's/SamplingFrequency=8000/SamplingFrequency=1073741824/' "$work/v.vta" >"$work/fast.vta"
bounded "$cli" build "$work/fast.vta" -o "$work/fast.aiff" >"$work/out" 2>"$work/err"
st=$?
# Rates an AIFF cannot hold (2^30 Hz and up) lie beyond the program's range, which
# refuses them first.
check "a rate beyond the range is refused before any AIFF is written" '[ $st -eq 1 ] && grep -q "The sampling frequency must be from 1 to 768000 Hz, not 1073741824" "$work/err" && [ ! -e "$work/fast.aiff" ]'
check "no temporary file is left" '[ -z "$(ls "$work" | grep "~tmp")" ]'

# A full disk (here a file size limit) keeps the earlier audio file and says why.
sed -e 's/TotalDuration=0.05/TotalDuration=600/' "$work/v.vta" >"$work/long.vta"
(trap '' XFSZ; ulimit -f 2; "$cli" build "$work/long.vta" -o "$work/d.wav" >"$work/out" 2>"$work/err")
st=$?
check "a short write keeps the earlier file" '[ $st -eq 1 ] && grep -qx "Not Complete" "$work/out" && grep -q "^vocanta-cli: Cannot write to $work/d.wav: File too large$" "$work/err" && [ "$(cat "$work/d.wav")" = earlier ]'
check "nothing is left beside it" '[ -z "$(ls "$work" | grep "~tmp")" ]'

finish
