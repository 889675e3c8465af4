#!/usr/bin/env bash
# The reference engine against the fast one on the four documents in bench/documents,
# rendered into memory: milliseconds per second of audio and the ratio.
# Usage: bench/engine_table.sh build-bench/bench/vocanta_bench
set -euo pipefail
bench=${1:?usage: engine_table.sh PATH/TO/vocanta_bench}
json=$(mktemp); trap 'rm -f "$json"' EXIT
"$bench" --benchmark_filter='^engine/' --benchmark_repetitions="${REPS:-5}" \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$json"
python3 - "$json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
ms = {}
for r in runs:
    # One repetition reports its run, several their median.
    if r.get("aggregate_name") != "median" and r.get("run_type") != "iteration":
        continue
    # The names read "engine/vowel16k / reference".
    _, doc, engine = (part.strip() for part in r["run_name"].split("/"))
    ms[(doc, engine)] = r["real_time"]
print("%-14s %14s %9s %7s" % ("document", "reference_ms", "fast_ms", "ratio"))
for doc in ("vowel16k", "vowel44k", "expressive44k", "dense44k"):
    ref, fast = ms[(doc, "reference")], ms[(doc, "fast")]
    print("%-14s %14.1f %9.1f %7.1f" % (doc, ref, fast, ref / fast))
PY
