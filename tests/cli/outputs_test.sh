#!/usr/bin/env bash
# Where outputs land: a symlink is written through to its file and stays a link, a FIFO
# is written into, never replaced; a series' file and its label file are replaced
# together or not at all, and a killed run's temporary files go at the next run.
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
# Named without a folder, a link still to come is followed from the current folder.
ln -s real/bare.wav "$work/n.wav"
(cd "$work" && "$cli" convert v.smp n.wav)
check "convert goes through a bare-named link to a file still to come" 'linked n.wav bare.wav plain.wav'
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

# A batch killed while it renders leaves the earlier pair as it was; the next run
# removes what the killed one left.
sed -e "s/TotalDuration=0.05/TotalDuration=600/" -e "s/SamplingFrequency=8000/SamplingFrequency=44100/" "$work/v.vta" >"$work/long.vta"
for ext in wav smp; do
  echo "earlier $ext" >"$work/k.$ext" && echo "earlier labels" >"$work/k.CSV"
  "$cli" batch "$work/long.vta" -o "$work/k.$ext" >/dev/null 2>&1 &
  pid=$!
  sleep 1.5
  kill -KILL $pid
  wait $pid 2>/dev/null
  check "a killed $ext batch keeps the earlier file and labels" '[ "$(cat "$work/k.$ext")" = "earlier $ext" ] && [ "$(cat "$work/k.CSV")" = "earlier labels" ]'
  check "it left its temporary files (the test sees the kill)" '[ -n "$(ls "$work" | grep "^k\..*~tmp")" ]'
  "$cli" batch "$work/v.vta" -o "$work/k.$ext" >/dev/null 2>&1
  check "the next $ext batch removes them and writes the pair" '[ -z "$(ls "$work" | grep "~tmp")" ] && [ "$(head -n 1 "$work/k.CSV" | tr -d "\r")" = "$work/k.$ext" ]'
done
# A temporary file of a run still going is left alone.
sleep 30 &
sleeper=$!
touch "$work/k.wav.~tmp$sleeper-1"
"$cli" batch "$work/v.vta" -o "$work/k.wav" >/dev/null 2>&1
check "a live run's temporary file stays" '[ -e "$work/k.wav.~tmp$sleeper-1" ]'
kill $sleeper && rm "$work/k.wav.~tmp$sleeper-1"
# A killed run nobody has reaped yet is a zombie: it writes nothing any more.
sh -c 'sleep 0 & echo $! >"$1"; exec sleep 5' sh "$work/zombie" &
holder=$!
sleep 0.5
zombie=$(cat "$work/zombie")
touch "$work/k.wav.~tmp$zombie-1"
"$cli" batch "$work/v.vta" -o "$work/k.wav" >/dev/null 2>&1
check "a zombie run's temporary file goes" '[ "$(cut -d " " -f 3 /proc/$zombie/stat)" = Z ] && [ ! -e "$work/k.wav.~tmp$zombie-1" ]'
kill $holder 2>/dev/null

# A full disk in the middle of a series keeps the earlier pair.
for ext in wav smp; do
  echo "earlier $ext" >"$work/d.$ext" && echo "earlier labels" >"$work/d.CSV"
  (trap '' XFSZ; ulimit -f 2; "$cli" batch "$work/long.vta" -o "$work/d.$ext" >"$work/out" 2>"$work/err")
  st=$?
  check "a $ext series cut short by a full disk keeps the earlier pair" '[ $st -eq 1 ] && grep -q "File too large" "$work/err" && [ "$(cat "$work/d.$ext")" = "earlier $ext" ] && [ "$(cat "$work/d.CSV")" = "earlier labels" ]'
done
check "and leaves nothing beside them" '[ -z "$(ls "$work" | grep "~tmp")" ]'

finish
