#!/usr/bin/env bash
# A batch series in SHARDS parts run by GNU parallel, two at a time on this machine (or
# across hosts with -S host1,host2 and a shared folder), then merged:
#
#   examples/cluster/parallel_shards.sh DOC.vta OUT.smp|OUT.wav SHARDS [batch choices...]
#
# for example: parallel_shards.sh series.vta series.wav 8 --combinations --seed 7
set -euo pipefail
doc=$1 out=$2 shards=$3
shift 3
parts=$(mktemp -d "$(dirname "$out")/parts.XXXXXX")
seq 1 "$shards" | parallel --halt now,fail=1 -j "${JOBS:-2}" \
  vocanta-cli batch "$doc" "$@" --shard "{}/$shards" -o "$parts/part-{}.smp"
vocanta-cli merge "$parts"/part-*.smp -o "$out"
rm -r "$parts"
