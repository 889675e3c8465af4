#!/usr/bin/env bash
# A batch series on several threads: every file it writes is the one a single thread
# writes, and a break leaves what a single thread leaves.
set -uo pipefail
cli=$(realpath "$1")
data=$2
source "$(dirname "$0")/check_lib.sh"

series_documents "$data"

# Builds the series on 1, 2 and 3 threads into the same names; every file, stderr
# included, must match the single thread's.
same_on_threads() {
  local doc=$1 out=$2 dir="$work/s$RANDOM"
  shift 2
  mkdir "$dir"
  for j in 1 2 3; do
    mkdir "$dir/o" "$dir/j$j"
    # OUT "-": the voices into the folder o, one file each.
    if [ "$out" = - ]; then set -- "$@" --split "$dir/o"; else set -- "$@" -o "$dir/o/$out"; fi
    "$cli" batch "$work/$doc" "$@" --jobs $j >/dev/null 2>"$dir/j$j.err" || return 1
    set -- "${@:1:$(($# - 2))}"
    mv "$dir/o"/* "$dir/j$j" && rmdir "$dir/o" || return 1
  done
  [ -n "$(ls "$dir/j1")" ] && diff -r "$dir/j1" "$dir/j2" >/dev/null &&
    diff -r "$dir/j1" "$dir/j3" >/dev/null && cmp -s "$dir/j1.err" "$dir/j2.err" &&
    cmp -s "$dir/j1.err" "$dir/j3.err"
}

while read -r doc out opts; do
  # shellcheck disable=SC2086
  check "$doc ($out $opts) on 1, 2 and 3 threads gives the same bytes" \
    "same_on_threads $doc $out $opts"
done <<'TABLE'
v.vta one.smp --combinations
v.vta one.smp --include-without
v.vta one.wav --only pitch
tie.vta one.smp --combinations --include-without
tie.vta one.wav --include-without --textgrid
tie.vta one.smp --combinations --normalize peak=3
tie.vta one.wav --normalize rms=-20
r.vta one.smp --combinations --include-without --seed 99
r.vta one.flac --only vowel --seed 4 --textgrid
tie.vta part.smp --combinations --include-without --shard 2/3
r.vta part.smp --combinations --shard 1/2 --seed 7
TABLE
check "a --split folder on 1, 2 and 3 threads is the same" \
  'same_on_threads tie.vta - --combinations --include-without --format wav'
check "so is a --split folder of a shard" \
  'same_on_threads r.vta - --combinations --seed 3 --shard 2/2 --format smp'
"$cli" batch "$work/tie.vta" --normalize peak=3 --jobs 2 -o "$work/n.smp" >/dev/null 2>"$work/err"
# Above full scale every voice clips: each is named once, in the label file's order.
check "each voice that clips is named once, in series order" \
  '[ "$(sed -n "s/.*The voice '"'"'\(.*\)'"'"' clips.*/\1/p" "$work/err")" = "$(tail -n +2 "$work/n.CSV" | cut -d, -f3 | tr -d "\r")" ]'

# A break in the middle of a long series: the voices before it and the part of the one
# in progress, the same bytes as the single thread's, and the label file says so.
sed -e 's/TotalDuration=[0-9.]*/TotalDuration=0.5/' -e 's/SamplingFrequency=[0-9]*/SamplingFrequency=16000/' \
  "$work/r.vta" >"$work/long.vta"
"$cli" batch "$work/long.vta" --combinations --include-without --seed 5 --jobs 1 \
  -o "$work/single.smp" >/dev/null
"$cli" batch "$work/long.vta" --combinations --include-without --seed 5 --jobs 2 \
  -o "$work/cut.smp" >"$work/out" &
pid=$!
# Once the first voice is in the file, well before the last.
for _ in $(seq 200); do
  [ "$(cat "$work"/cut.smp.~tmp* 2>/dev/null | wc -c)" -gt 20000 ] && break
  sleep 0.02
done
kill -INT $pid
wait $pid
st=$?
voices=$(($(wc -l <"$work/cut.CSV") - 1))
samples() { tail -c +1025 "$work/$1"; }
check "a break on two threads ends the series as on one" \
  '[ $st -eq 1 ] && grep -qx "Break!" "$work/out" && [ "$voices" -ge 1 ] && [ "$voices" -lt 12 ]'
check "it leaves the single thread's voices and the start of the one in progress" \
  'n=$(samples cut.smp | wc -c) && [ "$n" -gt 0 ] && cmp -s <(samples cut.smp) <(samples single.smp | head -c "$n")'
check "its label lines are the single thread's but the last, which ends at the file's end" \
  '[ "$(sed -n "2,${voices}p" "$work/cut.CSV")" = "$(sed -n "2,${voices}p" "$work/single.CSV")" ] &&
   [ "$(awk -F, "END { print \$1 + \$2 }" "$work/cut.CSV")" -eq $(($(samples cut.smp | wc -c) / 2)) ]'
"$cli" batch "$work/v.vta" --jobs 0 -o "$work/x.smp" >/dev/null 2>"$work/err"
st=$?
check "--jobs takes a count from 1" '[ $st -eq 2 ] && grep -q -- "--jobs takes a whole number from 1 to 256" "$work/err" && [ ! -e "$work/x.smp" ]'
finish
