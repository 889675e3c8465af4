# Shared by the command-line tests: a scratch folder and a counted check.
# Usage: check "what is checked" 'shell condition'; finish prints the closing line.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0
check() {
  checks=$((checks + 1))
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
