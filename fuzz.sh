#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them one after another, each for
# SECONDS (default 60) on its corpus. Inputs that crash, break a property, run too long
# or take too much memory land in build-fuzz/findings/RUN/TARGET/; the exit status is
# non-zero when there is any.
set -euo pipefail
shopt -s nullglob
cd "$(dirname "$0")"
source scripts/install-deps.sh
# libclang-rt-dev holds libFuzzer and the sanitizer runtimes that clang only recommends.
install_packages clang libclang-rt-dev cmake make

seconds=${1:-60}
build_dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DVOCANTA_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

run_dir=$build_dir/findings/$(date +%Y%m%d-%H%M%S)
# The font libraries under Qt keep some allocations for the life of the process.
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
# Numbers and point texts are short; documents, INI texts and pictures get room for many
# curves and records.
declare -A max_len=([documents]=65536 [numbers]=256 [point_texts]=1024 [ini]=65536
  [metafiles]=65536 [parts]=16384 [engines]=65536)
# A picture must open in well under a second, even with the sanitizers' slowdown.
declare -A timeout=([metafiles]=2)
status=0
for target in documents numbers point_texts ini metafiles parts engines; do
  exe=$build_dir/fuzz/fuzz_$target
  findings=$run_dir/$target
  # New inputs go to a working corpus in the build folder; the repository's corpus
  # keeps the seeds and the inputs that once failed.
  mkdir -p "$findings" "$build_dir/corpus/$target"
  echo "== $target: fuzzing for $seconds s"
  # One child at a time that goes on after a finding, so that one known fault does not
  # end the run.
  "$exe" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout="${timeout[$target]:-5}" \
    -artifact_prefix="$findings/" "$build_dir/corpus/$target" "fuzz/corpus/$target" \
    >"$run_dir/$target.log" 2>&1 || true
  executions=$(grep -a -o '^#[0-9]*' "$run_dir/$target.log" | tail -n 1 | tr -d '#')
  found=$(find "$findings" -type f | wc -l)
  # libFuzzer names an input after its SHA-1, so those already kept are easy to tell.
  kept=$(sha1sum "fuzz/corpus/$target"/* | cut -d ' ' -f 1)
  known=0
  for f in "$findings"/*; do
    grep -qx "${f##*-}" <<<"$kept" && known=$((known + 1))
  done
  echo "$target: ${executions:-0} executions, $found failing inputs" \
    "($known of them kept in fuzz/corpus/$target)"
  [ "$found" -eq 0 ] && continue
  status=1
  echo "  in $findings; what they broke:"
  for f in "$findings"/*; do
    what=$("$exe" -timeout="${timeout[$target]:-5}" "$f" 2>&1 | grep -a -m 1 -E \
      '^broken: |^SUMMARY: [A-Za-z]+Sanitizer|libFuzzer: (timeout|out-of-memory)|terminate called' ||
      true)
    echo "${what:-no message from $f}"
  done | sort | uniq -c
done
exit "$status"
