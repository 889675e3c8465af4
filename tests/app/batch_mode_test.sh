#!/usr/bin/env bash
# "vocanta DOC /b" builds the document's sample file without a person and ends by
# itself, with the same bytes as vocanta-cli; "/B" is not the switch.
set -uo pipefail
app=$(realpath "$1")
cli=$(realpath "$2")
example=$(realpath "$3")
source "$(dirname "$0")/../cli/check_lib.sh"
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"

sed 's/TotalDuration=2/TotalDuration=0.2/' "$example" >"$work/voice.vta"
cp "$work/voice.vta" "$work/twin.vta"
timeout 60 "$app" "$work/voice.vta" /b >"$work/out" 2>&1
st=$?
check "the /b run ends by itself with success" '[ $st -eq 0 ]'
check "it writes the start line on stderr" 'grep -q "^Vocanta start at " "$work/out"'
"$cli" build "$work/voice.vta" -o "$work/cli.smp" >/dev/null 2>&1
check "the file equals that of vocanta-cli byte for byte" 'cmp -s "$work/voice.smp" "$work/cli.smp"'
check "autosave saved the document itself, keeping the old one as backup" 'cmp -s <(grep -v "^Version" "$work/voice.~vt") <(grep -v "^Version" "$work/voice.vta") && [ ! -e "$work/voice.VTA" ]'
recent="$work/data/ZarvekData/Vocanta/3.0.0.1/vocanta.ini"
check "the autosaved document tops the stored recent files" 'grep -q "^1=$work/voice.vta" "$recent"'

timeout 30 "$app" "$work/none.vta" /b >"$work/out" 2>&1
st=$?
check "a refused document ends the /b run by itself, said on stderr" '[ $st -eq 1 ] && grep -q "^vocanta: $work/none.vta does not exist" "$work/out"'

timeout 3 "$app" "$work/twin.vta" /B >/dev/null 2>&1
st=$?
check "/B in capitals does not build" '[ $st -eq 124 ] && [ ! -e "$work/twin.smp" ]'
finish
