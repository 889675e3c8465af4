#!/usr/bin/env bash
# The 200-voice series of bench/documents/series200.vta built on 1 and 2 threads, as a
# table: median milliseconds, the speed-up over one thread, and whether the files were
# the bytes one thread writes (the benchmark checks them after its runs). The machine
# should be quiet: another build running beside it takes the second core.
# Usage: bench/series_scaling.sh build-bench/bench/vocanta_bench
set -euo pipefail
bench=${1:?usage: series_scaling.sh PATH/TO/vocanta_bench}
json=$(mktemp); trap 'rm -f "$json"' EXIT
"$bench" --benchmark_filter='^series/' --benchmark_repetitions="${REPS:-3}" \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$json"
python3 - "$json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
ms, same = {}, {}
for r in runs:
    jobs = int(r["run_name"].split("/")[1].removeprefix("jobs"))
    # One repetition reports its run, several their median.
    if r.get("aggregate_name") == "median" or r.get("run_type") == "iteration":
        ms[jobs] = r["real_time"]
        same[jobs] = r.get("identical") == 1
print("| series | jobs | ms | speed-up | bytes |")
print("|---|---:|---:|---:|---|")
for jobs in sorted(ms):
    speedup = "%.2f" % (ms[1] / ms[jobs]) if 1 in ms else ""
    bytes_ = "as on 1 thread" if same[jobs] else "DIFFERENT from 1 thread"
    print("| 200 voices | %d | %.0f | %s | %s |" % (jobs, ms[jobs], speedup, bytes_))
PY
