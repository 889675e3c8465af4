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

# The batch series of DATA_DIR/batch_vowels.vta as v.vta, with points on the very
# frequencies the harmonics fall on and a vibrato rate that jumps at t = 0 as tie.vta,
# and that randomized with audible noise as r.vta: where a voice's first values land
# depends on where the voice before it left the curve cursors.
# Usage: series_documents DATA_DIR
series_documents() {
  cp "$1/batch_vowels.vta" "$work/v.vta"
  { cat "$work/v.vta"
    printf '[FrequencyResponse]\r\n0=0\r\n100=-40\r\n100.0=0\r\n150=-40\r\n150.0=0\r\n5000=0\r\n'
    printf '[VibratoFrequency]\r\n0=5\r\n0.0=9\r\n1=9\r\n[VibratoAmplitude]\r\n0=10\r\n'
    printf '[FlutterAmplitude]\r\n0=20\r\n'; } >"$work/tie.vta"
  { sed 's/Randomize=0/Randomize=1/' "$work/tie.vta"; printf '[NoiseLevel]\r\n0=-20\r\n'; } >"$work/r.vta"
}
