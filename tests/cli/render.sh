#!/usr/bin/env bash
# folioforge-cli render: page selection, resolution, the three drawing situations, numbered
# files for --all, and failures that report one line and leave no output behind.
# Pixels are checked by the rendering tests; here the files, sizes and differences count.
set -u
CLI="$1"
DATA="${FF_TEST_DATA_DIR:-$(dirname "$0")/../data}"
SHEET="$DATA/render/sample.csd" # 4 x 3 inches, two pages, a hidden label on page 1
failures=0
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Width and height of a PNG file from its header.
png_size() {
    local b
    b=($(od -An -tu1 -j16 -N8 "$1"))
    echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}

is_png() { [[ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" == "89504e470d0a1a0a" ]]; }

render() { "$CLI" render "$@" 2>"$tmp/err"; }

expect_ok() {
    local out="$1"
    shift
    render "$@" -o "$out" || fail "render $* exited $?: $(cat "$tmp/err")"
    is_png "$out" || fail "render $* wrote no PNG"
}

# Fails with status $1, exactly one message line, and no file $2.
expect_failure() {
    local want="$1" out="$2"
    shift 2
    render "$@"
    local rc=$?
    [[ $rc == "$want" ]] || fail "render $* exited $rc, wanted $want"
    local n
    n=$(grep -c '^folioforge-cli render: ' "$tmp/err")
    [[ $n == 1 ]] || fail "render $* gave $n message lines: $(cat "$tmp/err")"
    [[ ! -e "$out" ]] || fail "render $* left $out behind"
}

# Viewer drawing of the first page at 96 DPI by default.
expect_ok "$tmp/view.png" "$SHEET"
[[ "$(png_size "$tmp/view.png")" == 384x288 ]] || fail "default size $(png_size "$tmp/view.png")"
expect_ok "$tmp/page1.png" "$SHEET" --page 1
cmp -s "$tmp/view.png" "$tmp/page1.png" || fail "default is not page 1 or drawing is not repeatable"

# Resolution.
expect_ok "$tmp/small.png" "$SHEET" --dpi 48
[[ "$(png_size "$tmp/small.png")" == 192x144 ]] || fail "48 DPI size $(png_size "$tmp/small.png")"
expect_ok "$tmp/print.png" "$SHEET" --print-mode --dpi 150
[[ "$(png_size "$tmp/print.png")" == 600x450 ]] || fail "print size $(png_size "$tmp/print.png")"

# The situations draw differently: design adds grid, frame, hidden label and highlights;
# show-fields adds highlights only.
expect_ok "$tmp/design.png" "$SHEET" --design
expect_ok "$tmp/fields.png" "$SHEET" --show-fields
cmp -s "$tmp/view.png" "$tmp/design.png" && fail "--design draws as the viewer"
cmp -s "$tmp/view.png" "$tmp/fields.png" && fail "--show-fields draws as the viewer"
cmp -s "$tmp/design.png" "$tmp/fields.png" && fail "--design draws as --show-fields"

# Every page, numbered before the extension; --page 2 gives the same picture as page 2.
render "$SHEET" --all -o "$tmp/all.png" || fail "--all exited $?: $(cat "$tmp/err")"
[[ -e "$tmp/all.png" ]] && fail "--all wrote the unnumbered name"
is_png "$tmp/all-1.png" || fail "--all wrote no all-1.png"
is_png "$tmp/all-2.png" || fail "--all wrote no all-2.png"
[[ -e "$tmp/all-3.png" ]] && fail "--all wrote a third page"
cmp -s "$tmp/all-1.png" "$tmp/view.png" || fail "--all page 1 differs from page 1"
expect_ok "$tmp/page2.png" "$SHEET" --page 2
cmp -s "$tmp/all-2.png" "$tmp/page2.png" || fail "--all page 2 differs from --page 2"
cmp -s "$tmp/page1.png" "$tmp/page2.png" && fail "pages 1 and 2 look the same"

# Failures.
expect_failure 1 "$tmp/none.png" "$tmp/missing.csd" -o "$tmp/none.png"
printf 'not a sheet' >"$tmp/bad.csd"
expect_failure 1 "$tmp/none.png" "$tmp/bad.csd" -o "$tmp/none.png"
expect_failure 1 "$tmp/none.png" "$SHEET" --page 3 -o "$tmp/none.png"
expect_failure 2 "$tmp/none.png" "$SHEET" --page 0 -o "$tmp/none.png"
expect_failure 2 "$tmp/none.png" "$SHEET" --dpi 0 -o "$tmp/none.png"
expect_failure 2 "$tmp/none.png" "$SHEET" --page 1 --all -o "$tmp/none.png"
expect_failure 2 "$tmp/none.png" "$SHEET" --bogus -o "$tmp/none.png"
expect_failure 2 "$tmp/none.png" "$SHEET"
expect_failure 1 "$tmp/no-such-dir/out.png" "$SHEET" -o "$tmp/no-such-dir/out.png"

"$CLI" render --help | grep -q -- '--print-mode' || fail "--help does not list the options"

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "render: all checks passed"
