#!/usr/bin/env bash
# Batch series in shards: the merge of N parts, rendered by parallel processes, is the
# very sample file and label file of one build; wrong sets of parts are refused.
set -uo pipefail
cli=$(realpath "$1")
data=$2
source "$(dirname "$0")/check_lib.sh"

series_documents "$data"

# Builds the series in one run and in N parallel shards, merged under the same name.
same_as_single() {
  local doc=$1 n=$2 ext=$3
  shift 3
  local dir="$work/s$RANDOM" pids=() parts=()
  mkdir "$dir"
  "$cli" batch "$work/$doc" "$@" -o "$dir/one.$ext" >/dev/null || return 1
  mv "$dir/one.$ext" "$dir/single.$ext" && mv "$dir/one.CSV" "$dir/single.CSV"
  for k in $(seq "$n"); do
    "$cli" batch "$work/$doc" "$@" --shard "$k/$n" -o "$dir/p$k.smp" >/dev/null &
    pids+=($!)
    parts=("$dir/p$k.smp" "${parts[@]}")
  done
  for p in "${pids[@]}"; do wait "$p" || return 1; done
  "$cli" merge "${parts[@]}" -o "$dir/one.$ext" >/dev/null &&
    cmp -s "$dir/one.$ext" "$dir/single.$ext" && cmp -s "$dir/one.CSV" "$dir/single.CSV"
}

while read -r doc n ext opts; do
  # shellcheck disable=SC2086
  check "$doc in $n shards ($ext $opts) merges to the single run's bytes" \
    "same_as_single $doc $n $ext $opts"
done <<'TABLE'
v.vta 1 smp --combinations
v.vta 2 smp --include-without
v.vta 3 smp --combinations --include-without
v.vta 7 smp --only pitch
v.vta 20 smp --combinations --include-without
tie.vta 3 smp --combinations
tie.vta 4 smp --include-without
tie.vta 5 wav --combinations --include-without
r.vta 3 smp --combinations --include-without --seed 99
r.vta 4 smp --only vowel --seed 4
TABLE

"$cli" batch "$work/v.vta" --combinations --include-without --count >"$work/count"
check "--count gives the voices and samples" '[ "$(cat "$work/count")" = "$(printf "voices 12\nsamples 4800")" ]'
"$cli" batch "$work/v.vta" --combinations --include-without --shard 3/5 --count >"$work/count"
check "--count with --shard gives the slice" '[ "$(head -1 "$work/count")" = "voices 3" ]'

for k in 1 2 3; do "$cli" batch "$work/v.vta" --combinations --shard $k/3 -o "$work/p$k.smp" >/dev/null; done
"$cli" batch "$work/v.vta" --shard 2/3 -o "$work/foreign.smp" >/dev/null
head -c 2000 "$work/p3.smp" >"$work/cut.smp" && cp "$work/p3.CSV" "$work/cut.CSV"
echo "earlier" >"$work/out.smp"
# A merge that hangs is cut off and fails the check.
refused() {
  timeout 60 "$cli" merge "$@" -o "$work/out.smp" >/dev/null 2>"$work/err"
  [ $? -eq 1 ] && [ "$(cat "$work/out.smp")" = "earlier" ] && [ ! -e "$work/out.CSV" ] &&
    [ -z "$(ls "$work" | grep '~tmp')" ]
}
check "a missing part is refused" 'refused "$work/p1.smp" "$work/p3.smp" && grep -q "shard 2/3 is missing" "$work/err"'
check "a doubled part is refused" 'refused "$work/p1.smp" "$work/p2.smp" "$work/p3.smp" "$work/p2.smp" && grep -q "p2.smp holds shard 2/3" "$work/err"'
check "a foreign part is refused" 'refused "$work/p1.smp" "$work/foreign.smp" "$work/p3.smp" && grep -q "foreign.smp belongs to another series" "$work/err"'
check "an incomplete part is refused" 'refused "$work/p1.smp" "$work/p2.smp" "$work/cut.smp" && grep -q "cut.smp is incomplete" "$work/err"'
check "a plain sample file is no part" 'refused "$work/p1.smp" "$work/p2.smp" "$work/out.smp" && grep -q "out.smp is not a sample file" "$work/err"'

# A header whose counts multiply past 64 bits: wrapped, 4 voices of 2^62 + 100 samples
# would be the 400 samples the file holds.
big=4611686018427388004
{ printf 'file=samp\r\nsftot=8000\r\nnchans=1\r\nmsb=last\r\nseries=0123456789abcdef\r\n'
  printf 'shard=1/1\r\nfirst=0\r\nvoices=4\r\ntotal=4\r\nlength=%s\r\n=\r\n\0\4\32' $big; } >"$work/lie.smp"
truncate -s $((1024 + 800)) "$work/lie.smp"
printf '%s\r\n' "$work/lie.smp" "0,$big,a" "$big,$big,b" "0,$big,c" "0,$big,d" >"$work/lie.CSV"
check "a part whose counts overflow is refused" 'refused "$work/lie.smp" && grep -q "lie.smp claims 4 voices of $big samples" "$work/err"'

# Faults a merge names for what they are.
cp "$work/p2.smp" "$work/q2.smp" && mkdir "$work/q2.CSV"
check "a label file that is a folder is named so" 'refused "$work/p1.smp" "$work/q2.smp" "$work/p3.smp" && grep -q "q2.CSV is a folder, not the label file of a part" "$work/err"'
# A FIFO would keep the merge waiting and a device feed it without end: refused at once.
mkfifo "$work/f2.smp"
check "a part that is a FIFO is refused" 'refused "$work/p1.smp" "$work/f2.smp" "$work/p3.smp" && grep -q "f2.smp is not a file a build wrote, so not a part of a series" "$work/err"'
cp "$work/p2.smp" "$work/z2.smp" && ln -s /dev/zero "$work/z2.CSV"
check "a label file that is a device is refused" 'refused "$work/p1.smp" "$work/z2.smp" "$work/p3.smp" && grep -q "z2.CSV is not a file a build wrote, so not the label file of a part" "$work/err"'
for k in 1 2 4 5 6 7; do "$cli" batch "$work/v.vta" --only pitch --shard $k/7 -o "$work/e$k.smp" >/dev/null; done
check "a missing empty part is named so" 'refused "$work"/e?.smp && grep -q "The part of shard 3/7 is missing (it holds none of the series'"'"' 2 voices" "$work/err"'
nl="$work/new
line"
"$cli" batch "$work/v.vta" -o "$nl.smp" >/dev/null 2>"$work/err"
st=$?
check "a series named with a line break is refused" '[ $st -eq 1 ] && grep -q "holds a line break" "$work/err" && [ ! -e "$nl.smp" ]'
"$cli" merge "$work/p1.smp" "$work/p2.smp" "$work/p3.smp" -o "$nl.wav" >/dev/null 2>"$work/err"
st=$?
check "so is a merge" '[ $st -eq 1 ] && grep -q "holds a line break" "$work/err" && [ ! -e "$nl.wav" ]'

# A series beyond 64-bit counts is refused with its size, never counted short.
{ printf '[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nGain=-20\r\nSamplingFrequency=8000\r\n'
  printf 'TotalDuration=0.05\r\nMaxHarmonincs=1000\r\nnTweenies=1\r\nRandomize=0\r\n[BatchSteps]\r\n'
  for b in 1 2 3 4 5 6 7; do printf 'B%s=20000\r\n' $b; done
  printf '[F0]\r\n'
  for b in 1 2 3 4 5 6 7; do printf '0.00%s=100;100;50;B%s\r\n' $b $b; done; } >"$work/huge.vta"
"$cli" batch "$work/huge.vta" --combinations --count >"$work/count" 2>"$work/err"
st=$?
check "--count refuses a series too large to count" '[ $st -eq 1 ] && [ ! -s "$work/count" ] && grep -q "The series has about 1.28e+30 voices: too many to count" "$work/err"'
"$cli" batch "$work/huge.vta" --combinations --shard 2/4 --count >"$work/count" 2>"$work/err"
st=$?
check "so does --count of a shard" '[ $st -eq 1 ] && [ ! -s "$work/count" ] && grep -q "about 1.28e+30 voices" "$work/err"'
# Bounded, so that a regression fails instead of rendering for ever.
(trap '' XFSZ; ulimit -f 1000; timeout 20 "$cli" batch "$work/huge.vta" --combinations --only B1,B2,B3 --shard 2/4 -o "$work/h.smp" >/dev/null 2>"$work/err")
st=$?
check "a shard of a series with too many samples is refused" '[ $st -eq 1 ] && grep -q "The series has 8001200060001 voices of 400 samples, about 3.2e+15 samples" "$work/err" && [ ! -e "$work/h.smp" ]'

"$cli" batch "$work/v.vta" --shard 4/3 -o "$work/x.smp" >/dev/null 2>"$work/err"
st=$?
check "a shard beyond N is refused" '[ $st -eq 2 ] && grep -q "K/N with 1 ≤ K ≤ N" "$work/err" && [ ! -e "$work/x.smp" ]'
"$cli" batch "$work/r.vta" --shard 1/2 -o "$work/x.smp" >/dev/null 2>"$work/err"
st=$?
check "a randomizing document needs a seed" '[ $st -eq 1 ] && grep -q -- "--seed" "$work/err" && [ ! -e "$work/x.smp" ]'
finish
