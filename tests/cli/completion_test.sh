#!/usr/bin/env bash
# The bash completion of vocanta-cli: commands, options held against each command's
# --help, the engines, and files of the extensions each argument takes.
# Usage: completion_test.sh CLI COMPLETION-SCRIPT
set -uo pipefail
cli=$(realpath "$1")
script=$(realpath "$2")
source "$(dirname "$0")/check_lib.sh"
source "$script"

# What the completion offers for a command line whose last word is being completed,
# sorted, one per line.
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _vocanta_cli vocanta-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort
}
lines() { printf '%s\n' "$@" | sort; }

check "a completion is registered for vocanta-cli" '[ "$(complete -p vocanta-cli)" = "complete -F _vocanta_cli vocanta-cli" ]'
commands=$("$cli" --help | sed -n 's/^  \([a-z]\+\) .*/\1/p' | sort)
check "every command of the help is offered, and help" '[ -n "$commands" ] && [ "$(offered vocanta-cli "")" = "$(lines $commands help)" ]'
check "b offers build and batch" '[ "$(offered vocanta-cli b)" = "$(lines batch build)" ]'
check "--v offers --version" '[ "$(offered vocanta-cli --v)" = "--version" ]'
check "help offers the commands" '[ "$(offered vocanta-cli help c)" = "convert" ]'

# Each command offers exactly the options its --help lists.
for command in $commands; do
  listed=$("$cli" "$command" --help | grep -o -- '^  -[^ ]*' | tr ',' '\n' | sed 's/^ *//' | sort)
  check "$command offers the options of its --help" \
    '[ -n "$listed" ] && [ "$(offered vocanta-cli "$command" -)" = "$listed" ]'
done

check "--engine offers the engines" '[ "$(offered vocanta-cli build --engine "")" = "$(lines fast reference)" ]'
check "--engine=r offers reference" '[ "$(offered vocanta-cli batch x.vta --engine = r)" = reference ]'
check "--normalize offers the measures" '[ "$(offered vocanta-cli batch x.vta --normalize "")" = "$(lines peak= rms=)" ]'
check "--seed offers nothing" '[ -z "$(offered vocanta-cli build --seed "")" ]'

cd "$work" || exit 1
mkdir sub
touch a.vta B.VTA c.smp d.wav e.FLAC f.aiff g.txt ./-x.vta
check "build offers documents and folders" '[ "$(offered vocanta-cli build "")" = "$(lines -x.vta B.VTA a.vta sub)" ]'
check "-o offers sample and audio files" '[ "$(offered vocanta-cli build a.vta -o "")" = "$(lines c.smp d.wav e.FLAC f.aiff sub)" ]'
check "merge offers sample files" '[ "$(offered vocanta-cli merge c.smp "")" = "$(lines c.smp sub)" ]'
check "convert offers a sample file, then audio files" \
  '[ "$(offered vocanta-cli convert "")" = "$(lines c.smp sub)" ] && [ "$(offered vocanta-cli convert c.smp "")" = "$(lines d.wav e.FLAC f.aiff sub)" ]'
check "an option is no argument" '[ "$(offered vocanta-cli convert -h "")" = "$(lines c.smp sub)" ]'
check "after -- a word beginning with - is a file" '[ "$(offered vocanta-cli build -- -)" = "-x.vta" ] && [ "$(offered vocanta-cli build -- "")" = "$(lines -x.vta B.VTA a.vta sub)" ] && [ "$(offered vocanta-cli build -)" != "-x.vta" ]'
check "a prefix narrows the files" '[ "$(offered vocanta-cli info c)" = "c.smp" ] && [ "$(offered vocanta-cli resave a)" = "a.vta" ]'
finish
