#!/usr/bin/env bash
# vocanta-cli's command lines: both spellings of a value, '--', the help of every command,
# the version, and usage errors that say what is wrong in one line.
# Usage: options_test.sh CLI DATA-DIR VERSION SOURCE-DIR
set -uo pipefail
cli=$(realpath "$1")
data=$2
version=$3
source_dir=$4
source "$(dirname "$0")/check_lib.sh"

cp "$data/batch_vowels.vta" "$work/v.vta"
sed -e 's/Randomize=0/Randomize=1/' "$work/v.vta" >"$work/r.vta"
printf '[NoiseLevel]\r\n0=-20\r\n' >>"$work/r.vta"
samples() { tail -c +1025 "$work/$1"; }

"$cli" build "$work/r.vta" --seed 7 --engine reference -o "$work/spaced.smp" >/dev/null 2>&1
"$cli" build "$work/r.vta" --seed=7 --engine=reference --output="$work/joined.smp" >/dev/null 2>&1
(cd "$work" && "$cli" build r.vta --seed=7 --engine=reference -obundled.smp >/dev/null 2>&1)
"$cli" build "$work/r.vta" --seed=8 -o "$work/other.smp" >/dev/null 2>&1
check "--opt=value gives the bytes of --opt value" 'cmp -s <(samples spaced.smp) <(samples joined.smp) && ! cmp -s <(samples spaced.smp) <(samples other.smp)'
check "-oOUT writes OUT" 'cmp -s <(samples spaced.smp) <(samples bundled.smp)'
"$cli" batch "$work/v.vta" --only pitch --combinations -o "$work/b1.smp" >/dev/null 2>&1
"$cli" batch "$work/v.vta" --only=pitch --combinations --output "$work/b2.smp" >/dev/null 2>&1
check "--only=NAME picks what --only NAME picks" '[ -s "$work/b1.smp" ] && cmp -s <(samples b1.smp) <(samples b2.smp) && [ "$(tail -n +2 "$work/b1.CSV")" = "$(tail -n +2 "$work/b2.CSV")" ]'
"$cli" batch "$work/v.vta" --shard=2/3 --count >"$work/eq" && "$cli" batch "$work/v.vta" --shard 2/3 --count >"$work/sp"
check "--shard=K/N counts what --shard K/N counts" '[ -s "$work/eq" ] && cmp -s "$work/eq" "$work/sp"'

cp "$work/v.vta" "$work/-x.vta"
(cd "$work" && "$cli" build -- -x.vta >"$work/out" 2>"$work/err")
st=$?
check "-- lets a document named -x.vta build" '[ $st -eq 0 ] && grep -qx Done "$work/out" && [ -s "$work/-x.smp" ]'
(cd "$work" && "$cli" build v.vta -o -dash.smp --seed 3 >/dev/null 2>&1)
st=$?
check "a value may begin with '-', and options follow the document" '[ $st -eq 0 ] && [ -s "$work/-dash.smp" ]'
"$cli" build "$work/v.vta" -o "$work/first.smp" -o "$work/last.smp" >/dev/null 2>&1
check "a later value replaces an earlier one" '[ -s "$work/last.smp" ] && [ ! -e "$work/first.smp" ]'

# Each command's help names its options; the table is what the commands take.
while read -r command options; do
  "$cli" "$command" --help >"$work/out" 2>"$work/err"
  st=$?
  "$cli" "$command" -h >"$work/short" 2>&1
  "$cli" help "$command" >"$work/word" 2>&1
  missing=""
  for o in $options; do grep -q -- "$o\b" "$work/out" || missing="$missing $o"; done
  check "$command --help, -h and help $command explain ${options:-its arguments}" \
    '[ $st -eq 0 ] && [ ! -s "$work/err" ] && [ -z "$missing" ] && grep -q "^Usage: vocanta-cli $command" "$work/out" && cmp -s "$work/out" "$work/short" && cmp -s "$work/out" "$work/word"'
done <<'TABLE'
build -o --output --seed --engine
batch -o --output --seed --engine --combinations --only --include-without --shard --count
merge -o --output
resave
convert
info
TABLE

# The commands main dispatches are those defined in the source; the help names each one.
mapfile -t commands < <(grep -ozP 'add_command\(\s*app,\s*"\K[a-z]+' "$source_dir/src/cli/command_words.cpp" | tr '\0' '\n')
for spelling in --help -h help; do
  "$cli" $spelling >"$work/help-$spelling" 2>"$work/err"
  st=$?
  check "vocanta-cli $spelling prints the overall help on stdout" '[ $st -eq 0 ] && [ ! -s "$work/err" ] && grep -q "^usage: vocanta-cli COMMAND" "$work/help-$spelling"'
done
"$cli" help whatever >"$work/out" 2>&1
st=$?
"$cli" -h whatever >"$work/short" 2>&1
check "help and -h before any other word still print the overall help" '[ $st -eq 0 ] && cmp -s "$work/out" "$work/help---help" && cmp -s "$work/short" "$work/help---help"'
missing=""
for c in "${commands[@]}"; do grep -q "^  $c " "$work/help---help" || missing="$missing $c"; done
check "the help names all ${#commands[@]} commands" '[ ${#commands[@]} -eq 6 ] && [ -z "$missing" ]'
"$cli" >"$work/out" 2>"$work/err"
st=$?
check "no command prints the usage on stderr" '[ $st -eq 2 ] && [ ! -s "$work/out" ] && cmp -s "$work/err" "$work/help---help"'

"$cli" --version >"$work/out" 2>&1
st=$?
check "--version prints the project's version" '[ $st -eq 0 ] && [ "$(cat "$work/out")" = "vocanta-cli $version" ]'

# Usage errors: exit 2, nothing on stdout, one line on stderr naming the fault and the help.
while IFS='|' read -r words expected; do
  # shellcheck disable=SC2086
  (cd "$work" && "$cli" $words >"$work/out" 2>"$work/err")
  st=$?
  check "'$words' is refused in one line" \
    '[ $st -eq 2 ] && [ ! -s "$work/out" ] && [ $(wc -l <"$work/err") -eq 1 ] && grep -qF -- "$expected" "$work/err"'
done <<'TABLE'
bogus|vocanta-cli: unknown command 'bogus' (see 'vocanta-cli --help')
--bogus|vocanta-cli: unknown option '--bogus' (see 'vocanta-cli --help')
build|vocanta-cli build: no document given (see 'vocanta-cli build --help')
build v.vta --seed x|vocanta-cli build: --seed takes a whole number from 0 to 4294967295, not 'x' (see 'vocanta-cli build --help')
build v.vta --seed=4294967296|--seed takes a whole number from 0 to 4294967295, not '4294967296'
build v.vta --engine=slow|vocanta-cli build: --engine takes fast or reference, not 'slow'
build v.vta -o|vocanta-cli build: --output needs a value (see 'vocanta-cli build --help')
build v.vta --nope|vocanta-cli build: unknown option '--nope'
build v.vta w.vta|vocanta-cli build: unexpected argument 'w.vta'
build v.vta --count|vocanta-cli build: unknown option '--count'
batch v.vta --shard 4/3 -o p.smp|vocanta-cli batch: --shard takes K/N with 1 ≤ K ≤ N, not '4/3'
batch v.vta --shard 1/2|vocanta-cli batch: --shard needs -o PART: every shard writes a part of its own
merge p.smp|vocanta-cli merge: -o OUT is needed: the file the parts are joined into
merge -o m.smp|vocanta-cli merge: no part given
merge p.smp --nope -o m.smp|vocanta-cli merge: unknown option '--nope'
resave v.vta|vocanta-cli resave: IN.vta and OUT.vta are needed
convert v.smp a.wav b.wav|vocanta-cli convert: unexpected argument 'b.wav'
info|vocanta-cli info: no file given (see 'vocanta-cli info --help')
TABLE
check "no refused call wrote anything" '[ ! -e "$work/v.smp" ] && [ ! -e "$work/p.smp" ] && [ ! -e "$work/m.smp" ]'

finish
