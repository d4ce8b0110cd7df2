#!/usr/bin/env bash
# What `make run` shows: the command-line program evaluating a few sample field sources.
set -euo pipefail
build=${1:?build folder}
cli="$build/apps/folioforge-cli"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
while IFS= read -r line; do
  [ -n "$line" ] || continue
  echo "> $line"
  eval "\"$cli\" expr $line" || true
done < examples/sample-expressions.txt
