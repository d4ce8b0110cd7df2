#!/usr/bin/env bash
# Runs every benchmark program of the given build folder.
set -euo pipefail
build=${1:?build folder}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in "$build"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
