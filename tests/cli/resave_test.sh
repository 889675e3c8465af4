#!/usr/bin/env bash
# vocanta-cli resave end to end: the exact bytes of an upgraded document, and the
# refusals that must leave files alone and exit non-zero.
set -uo pipefail
cli=$(realpath "$1")
data=$2
source "$(dirname "$0")/check_lib.sh"

"$cli" resave "$data/every_feature.vta" "$work/out.vta" 2>"$work/err"
st=$?
check "an older document is upgraded" '[ $st -eq 0 ]'
check "the written bytes are the expected layout" 'cmp "$work/out.vta" "$data/every_feature.expected.vta"'
check "the version question is answered on stderr" 'grep -q "Try anyway? Yes" "$work/err"'

echo keep >"$work/existing.vta"
"$cli" resave "$data/every_feature.vta" "$work/existing.vta" 2>"$work/err"
st=$?
check "an existing output is refused" '[ $st -ne 0 ] && [ "$(cat "$work/existing.vta")" = keep ]'

printf '[Common]\r\nFileType=Other\r\n' >"$work/foreign.vta"
"$cli" resave "$work/foreign.vta" "$work/foreign-out.vta" 2>"$work/err"
st=$?
check "a foreign file is refused with its message" \
  '[ $st -ne 0 ] && grep -q "foreign.vta is not an Vocanta file" "$work/err" && [ ! -e "$work/foreign-out.vta" ]'

"$cli" resave "$work/missing.vta" "$work/missing-out.vta" 2>"$work/err"
st=$?
check "a missing document is refused" '[ $st -ne 0 ] && grep -q "missing.vta does not exist" "$work/err"'

printf '[Common]\r\nFileType=Vocanta\r\nVersion=3.0\r\nGain=loud\r\n' >"$work/bad.vta"
"$cli" resave "$work/bad.vta" "$work/bad-out.vta" 2>"$work/err"
st=$?
check "a bad number is reported" \
  '[ $st -ne 0 ] && grep -q "'"'"'loud'"'"' is not a valid floating point value" "$work/err" && [ ! -e "$work/bad-out.vta" ]'

"$cli" resave only-one-argument 2>"$work/err"
st=$?
check "a wrong call says so in one line that points at the help" '[ $st -eq 2 ] && [ $(wc -l <"$work/err") -eq 1 ] && grep -q "(see .vocanta-cli resave --help.)$" "$work/err"'

finish
