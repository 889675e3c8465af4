#!/usr/bin/env bash
# The manual page of vocanta-cli: man formats it without a warning, and it explains
# every command and every option the commands' --help lists.
# Usage: manual_test.sh CLI MANUAL-PAGE
set -uo pipefail
cli=$(realpath "$1")
page=$2
source "$(dirname "$0")/check_lib.sh"

LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/page" 2>"$work/warnings"
st=$?
check "man formats the page without warnings" '[ $st -eq 0 ] && [ ! -s "$work/warnings" ] && [ -s "$work/page" ]'
for section in NAME SYNOPSIS DESCRIPTION COMMANDS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES "SEE ALSO"; do
  check "the page has $section" 'grep -qx "$section" "$work/page"'
done

# The commands and options as the program itself lists them.
commands=$("$cli" --help | sed -n 's/^  \([a-z]\+\) .*/\1/p')
check "the help lists commands" '[ $(echo "$commands" | wc -w) -ge 6 ]'
for command in $commands; do
  # --help, which every command has, is told once for all.
  options=$("$cli" "$command" --help | grep -o -- '--[a-z][a-z-]*' | grep -vx -- --help | sort -u)
  missing=""
  for o in $options; do
    # The page's option lines read "--seed N"; the help's footer mentions -- only in prose.
    grep -q -- "^ *\(-[a-z] [A-Z]*, \)\?$o\b" "$work/page" || missing="$missing $o"
  done
  check "the page explains $command and its options${missing:+ (not:$missing)}" \
    'grep -q "^       $command\b" "$work/page" && [ -z "$missing" ]'
done
check "the page tells that every command has --help" 'grep -q "Every command takes -h and --help" "$work/page"'
finish
