#!/usr/bin/env bash
# folioforge-cli info and save: JSON of a hand-built sheet, byte-identical re-saves, data stores
# rebuilt from CSV files beside the input, and failures that report and keep files intact.
set -u
CLI="$1"
failures=0
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Primitives of the definition format, little-endian; booleans store 0 for true.
i32() {
    local hex
    hex=$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
        $((($1 >> 16) & 255)) $((($1 >> 24) & 255)))
    printf "$hex"
}
str() { i32 ${#1}; printf '%s' "$1"; }
true_() { i32 0; }
false_() { i32 1; }
d_8_5() { printf '\x00\x00\x00\x00\x00\x00\x21\x40'; }
d_11() { printf '\x00\x00\x00\x00\x00\x00\x26\x40'; }
d_0_125() { printf '\x00\x00\x00\x00\x00\x00\xc0\x3f'; }
d_0_5() { printf '\x00\x00\x00\x00\x00\x00\xe0\x3f'; }
d_1() { printf '\x00\x00\x00\x00\x00\x00\xf0\x3f'; }
d_2() { printf '\x00\x00\x00\x00\x00\x00\x00\x40'; }
zeros() { local k; for ((k = 0; k < $1; k++)); do printf '\x00'; done; }

# sheet VERSION REVISION DATASTOREFILES [with-field]
sheet() {
    printf 'CSD'; i32 "$1"; str "Kim"; str "Test sheet"; i32 "$2"
    d_8_5; d_11; i32 0; true_; d_0_125; false_; d_0_5; d_8_5; d_11; d_0_125; d_0_5; zeros 16
    str "var a = 1;"; str ""; str ""; str "onLoad"; str ""; str ""; str ""
    i32 1; str "Classes"; printf '\x0f\x00\x00\x00Fighter\r\nMage\r\n'
    i32 1; str "Front"; zeros 16
    if [[ "${4:-}" == with-field ]]; then
        i32 1; i32 3 # one edit field
        str "Str"; str "js:total"; true_; true_; false_; false_; str "Classes"; i32 1; d_1
        i32 255; i32 65280; false_; str "14"; str "Verdana"; d_2
        false_; false_; false_; i32 2; true_; zeros 8
        false_; false_; i32 0; zeros 8
        i32 2; d_1; d_2; d_2; d_1
    else
        i32 0
    fi
    str "$3"; i32 0; zeros 8
}

sheet 2 7 "" with-field >"$tmp/in.csd"
json=$("$CLI" info "$tmp/in.csd") || fail "info of a valid sheet failed"
for want in '"Author": "Kim"' '"Revision": 7' '"Width": 8.5' '"GridVisible": true' \
    '"GridSnap": false' '"FileVersion": 2' '"EventOnLoad": "onLoad"' '"Name": "Classes"' \
    '"Items": "Fighter\r\nMage\r\n"' '"Name": "Front"' '"FTypeID": 3' '"ClassName": "TCSEdit"' \
    '"FFieldName": "Str"' '"FFieldSource": "js:total"' '"FisNumeric": true' '"FLineColor": 255' \
    '"FFillColor": 65280' '"FText": "14"' '"FFontSize": 2' '"FTextAlign": 2' '"Image": null' \
    '"DataStores": [' '"Script": "var a = 1;"'; do
    grep -qF -- "$want" <<<"$json" || fail "info lacks $want"
done
points=$("$CLI" info --compact "$tmp/in.csd" | grep -o '"Points":\[[^]]*\][^]]*\]\]')
[[ "$points" == '"Points":[[1,2],[2,1]]' ]] || fail "points: $points"

# A version 1 file: sources are script code without their prefix.
sheet 1 7 "" with-field >"$tmp/v1.csd"
"$CLI" info "$tmp/v1.csd" | grep -qF '"FFieldSource": "js:js:total"' || fail "version 1 prefix"

# Saving again writes the very same bytes.
"$CLI" save "$tmp/in.csd" "$tmp/out.csd" || fail "save failed"
cmp -s "$tmp/in.csd" "$tmp/out.csd" || fail "re-saved sheet differs from its input"

# The designer's save rebuilds data stores from the CSV file beside the input.
mkdir "$tmp/src"
printf 'Name,Damage\r\nAxe,1d6\r\nBow,1d8\r\n' >"$tmp/src/weapons.csv"
sheet 2 1 'C:\games\weapons.csv' >"$tmp/src/hero.csd"
"$CLI" save "$tmp/src/hero.csd" "$tmp/hero2.csd" || fail "save with a data store failed"
json=$("$CLI" info --compact "$tmp/hero2.csd")
grep -qF '"Name":"weapons"' <<<"$json" || fail "data store not rebuilt: $json"
grep -qF '"ColNames":["Name","Damage"]' <<<"$json" || fail "data store columns"
grep -qF '"cells":[["Axe","1d6"],["Bow","1d8"]]' <<<"$json" || fail "data store cells"

# Failures: one line on stderr, status 1, files untouched.
check_fail() { # WANT_TEXT ARGS...
    local want="$1" err status
    shift
    err=$("$CLI" "$@" 2>&1 >/dev/null)
    status=$?
    [[ $status == 1 ]] || fail "$* -> status $status"
    [[ $(wc -l <<<"$err") == 1 ]] || fail "$* -> not one line: $err"
    grep -qF -- "$want" <<<"$err" || fail "$* -> '$err' lacks '$want'"
}
sheet 3 1 "" >"$tmp/newer.csd"
printf 'not a sheet' >"$tmp/text.csd"
head -c 100 "$tmp/in.csd" >"$tmp/cut.csd"
check_fail "does not exist" info "$tmp/missing.csd"
check_fail "This file was created by a newer version of the designer, and cannot be opened" \
    info "$tmp/newer.csd"
check_fail "not a sheet definition" info "$tmp/text.csd"
check_fail "damaged" info "$tmp/cut.csd"
check_fail "$tmp/cut.csd" save "$tmp/cut.csd" "$tmp/out.csd"
cmp -s "$tmp/in.csd" "$tmp/out.csd" || fail "a failed load replaced the output"
check_fail "no/such" save "$tmp/in.csd" "$tmp/no/such/out.csd"
chmod a-w "$tmp/out.csd"
check_fail "read-only" save "$tmp/hero2.csd" "$tmp/out.csd"
cmp -s "$tmp/in.csd" "$tmp/out.csd" || fail "a failed save changed the output"

"$CLI" info --help | grep -q "Usage: folioforge-cli info" || fail "info --help"
"$CLI" save --help | grep -q "Usage: folioforge-cli save" || fail "save --help"
# Usage errors: status 2 and one line on stderr.
check_usage() { # ARGS...
    local err status
    err=$("$CLI" "$@" 2>&1 >/dev/null)
    status=$?
    [[ $status == 2 ]] || fail "$* -> status $status, want a usage error"
    [[ $(wc -l <<<"$err") == 1 && -n "$err" ]] || fail "$* -> not one line: $err"
}
check_usage save "$tmp/in.csd"
check_usage save
check_usage save "$tmp/in.csd" "$tmp/a.csd" "$tmp/b.csd"
check_usage info
check_usage info "$tmp/in.csd" "$tmp/out.csd"
check_usage info --bogus "$tmp/in.csd"

if ((failures)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "info_save: all passed"
