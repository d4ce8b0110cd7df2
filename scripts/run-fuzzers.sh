#!/usr/bin/env bash
# Runs every fuzz target built in the given build folder for a short time, each on a copy of
# its seed corpus (fuzz/corpus/<target>/), so the checked-in seeds stay as they are.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  if [ -d "$root/fuzz/corpus/$name" ]; then
    cp -r "$root/fuzz/corpus/$name/." "$work/"
  fi
  echo "== $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>"$work.log"; then
    tail -n 40 "$work.log"
    echo "== $name: FAILED"
    status=1
  else
    grep -E '^(stat::number_of_executed_units|Done)' "$work.log" || true
  fi
  rm -rf "$work" "$work.log"
done
exit $status
