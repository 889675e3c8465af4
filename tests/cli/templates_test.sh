#!/usr/bin/env bash
# Every vowel template opens and builds, the continuum as a batch of its steps, and the
# templates are what their generator writes today.
set -uo pipefail
cli=$(realpath "$1")
templates=$2
source "$(dirname "$0")/check_lib.sh"

count=0
for doc in "$templates"/*.vta; do
  count=$((count + 1))
  name=$(basename "$doc" .vta)
  "$cli" build "$doc" -o "$work/$name.smp" >"$work/out" 2>"$work/err"
  st=$?
  # 0.5 s at 16000 Hz after the 1024-byte header.
  check "$name builds" '[ $st -eq 0 ] && grep -qx "Done" "$work/out" && [ $(stat -c %s "$work/$name.smp") -eq $((1024 + 2 * 8000)) ]'
done
check "thirty vowels and the continuum" '[ $count -eq 31 ]'

"$cli" batch "$templates/men_ih_eh_f1_continuum.vta" -o "$work/c.smp" >/dev/null 2>"$work/err"
st=$?
check "the continuum builds as seven voices" '[ $st -eq 0 ] && [ $(tail -n +2 "$work/c.CSV" | wc -l) -eq 7 ]'
check "the continuum's steps differ" '! cmp -s <(tail -c +1025 "$work/c.smp" | head -c 16000) <(tail -c +1025 "$work/c.smp" | tail -c 16000)'

mkdir "$work/again"
cp "$templates/make_templates.py" "$work/again/"
python3 "$work/again/make_templates.py"
check "the generator gives the committed templates" 'diff -r -x make_templates.py -x __pycache__ "$templates" "$work/again" >/dev/null'
finish
