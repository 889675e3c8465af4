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

has_line() { tr -d '\r' <"$2" | grep -qxF "$1"; }

# Pictures that cannot be loaded: nobody can look for them, so the names stay, also in
# the backup that the second run's autosave makes.
printf 'not a picture' >"$work/bad.bmp"
awk -v bad="$work/bad.bmp" '/^\[OverAllLevel\]/ && !done { print "[Backgrounds]"; print "F0=/no/such/f0.bmp"; print "Formants=" bad; done=1 } { print }' "$work/voice.vta" >"$work/pictures.vta"
timeout 60 "$app" "$work/pictures.vta" /b >"$work/out" 2>&1
timeout 60 "$app" "$work/pictures.vta" /b >>"$work/out" 2>&1
st=$?
check "/b keeps the names of pictures it could not load" '[ $st -eq 0 ] && (for f in pictures.vta pictures.~vt; do has_line "F0=/no/such/f0.bmp" "$work/$f" && has_line "Formants=$work/bad.bmp" "$work/$f" || exit 1; done)'

# A settings store that cannot be read costs the stored options, not the build.
mkdir -p "$work/badconfig/ZarvekData/vocanta.ini"
cp "$work/twin.vta" "$work/store.vta"
XDG_CONFIG_HOME="$work/badconfig" timeout 60 "$app" "$work/store.vta" /b >"$work/out" 2>&1
st=$?
"$cli" build "$work/store.vta" -o "$work/store-cli.smp" >/dev/null 2>&1
check "/b builds and ends when its settings store is a folder" '[ $st -eq 0 ] && cmp -s "$work/store.smp" "$work/store-cli.smp" && grep -q "^vocanta: Unable to read $work/badconfig/ZarvekData/vocanta.ini" "$work/out"'

timeout 30 "$app" "$work/none.vta" /b >"$work/out" 2>&1
st=$?
check "a refused document ends the /b run by itself, said on stderr" '[ $st -eq 1 ] && grep -q "^vocanta: $work/none.vta does not exist" "$work/out"'

timeout 3 "$app" "$work/twin.vta" /B >/dev/null 2>&1
st=$?
check "/B in capitals does not build" '[ $st -eq 124 ] && [ ! -e "$work/twin.smp" ]'
finish
