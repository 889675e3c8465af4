#!/usr/bin/env bash
# Where outputs land: a symlink is written through to its file and stays a link, a FIFO
# is written into, never replaced.
set -uo pipefail
cli=$(realpath "$1")
data=$2
source "$(dirname "$0")/check_lib.sh"

cp "$data/batch_vowels.vta" "$work/v.vta"
"$cli" build "$work/v.vta" >/dev/null 2>&1
"$cli" convert "$work/v.smp" "$work/plain.wav"
for k in 1 2; do "$cli" batch "$work/v.vta" --shard $k/2 -o "$work/p$k.smp" >/dev/null; done
"$cli" merge "$work/p1.smp" "$work/p2.smp" -o "$work/merged.smp" >/dev/null
"$cli" batch "$work/v.vta" -o "$work/series.smp" >/dev/null

# Symlinks, also one whose file is still to come, for every command that writes.
mkdir "$work/real" && echo earlier >"$work/real/c.wav" && echo earlier >"$work/real/m.smp"
ln -s real/c.wav "$work/c.wav" && ln -s real/m.smp "$work/m.smp" && ln -s real/new.smp "$work/b.smp"
"$cli" convert "$work/v.smp" "$work/c.wav"
"$cli" merge "$work/p1.smp" "$work/p2.smp" -o "$work/m.smp" >/dev/null
"$cli" batch "$work/v.vta" -o "$work/b.smp" >/dev/null
# The header of a sample file names its label file, so only the samples are compared.
linked() {
  [ -L "$work/$1" ] && [ "$(readlink "$work/$1")" = "real/$2" ] &&
    cmp -s <(tail -c +"${4:-1}" "$work/real/$2") <(tail -c +"${4:-1}" "$work/$3")
}
check "convert writes through a symlink" 'linked c.wav c.wav plain.wav'
check "merge writes through a symlink" 'linked m.smp m.smp merged.smp 1025 && [ -f "$work/m.CSV" ]'
check "a series goes through a link to a file still to come" 'linked b.smp new.smp series.smp 1025'
check "nothing is left in the link's folder" '[ -z "$(ls "$work/real" | grep "~tmp")" ]'

# A FIFO takes the bytes and stays a FIFO; no label file is made beside it.
mkfifo "$work/f.smp"
timeout 20 cat "$work/f.smp" >"$work/got" &
reader=$!
timeout 20 "$cli" merge "$work/p1.smp" "$work/p2.smp" -o "$work/f.smp" >/dev/null 2>"$work/err"
st=$?
wait $reader
mkfifo "$work/f.wav"
timeout 20 cat "$work/f.wav" >"$work/got.wav" &
reader=$!
timeout 20 "$cli" convert "$work/v.smp" "$work/f.wav" 2>>"$work/err"
st2=$?
wait $reader
check "convert writes into a FIFO" '[ $st2 -eq 0 ] && [ -p "$work/f.wav" ] && cmp -s "$work/got.wav" "$work/plain.wav"'
check "merge writes into a FIFO" '[ $st -eq 0 ] && [ -p "$work/f.smp" ] && [ ! -e "$work/f.CSV" ] && cmp -s <(tail -c +1025 "$work/got") <(tail -c +1025 "$work/merged.smp")'

finish
