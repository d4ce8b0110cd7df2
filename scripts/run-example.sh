#!/usr/bin/env bash
# What `make run` shows: builds the bundled example sheet through the model API, summarises it,
# evaluates a few sample field sources, and renders every page to PNG.
set -euo pipefail
build=${1:?build folder}
cli="$build/apps/folioforge-cli"
out="$build/example"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -p "$out"

"$build/examples/make_example_sheet" "$out/example-sheet.csd"

echo "== The example sheet ($out/example-sheet.csd)"
"$cli" info "$out/example-sheet.csd" > "$out/example-sheet.json"
python3 - "$out/example-sheet.json" <<'PY' 2>/dev/null || echo "   (full JSON in $out/example-sheet.json)"
import json, sys
d = json.load(open(sys.argv[1]))
pages = d.get("Pages", [])
print(f"   {len(pages)} pages, {sum(len(p.get('Objects', [])) for p in pages)} objects; "
      f"data stores: {', '.join(s.get('Name', '') for s in d.get('DataStores', []))}")
print(f"   full JSON in {sys.argv[1]}")
PY

echo "== Sample field sources"
while IFS= read -r line; do
  [ -n "$line" ] || continue
  echo "> expr $line"
  eval "\"$cli\" expr $line" || true
done < examples/sample-expressions.txt

echo "== Rendering"
"$cli" render "$out/example-sheet.csd" --all -o "$out/example-sheet.png"
"$cli" render "$out/example-sheet.csd" --all --design -o "$out/example-sheet-design.png"
echo "Rendered pages (viewer and designer views):"
ls -1 "$out"/example-sheet*.png
