#!/usr/bin/env bash
# folioforge-cli expr: answers, errors, variables, reports and option handling.
set -u
CLI="$1"
failures=0

# check EXPECTED_STATUS EXPECTED_LAST_LINE ARGS...
check() {
    local want_status="$1" want_line="$2"
    shift 2
    local out status
    out=$("$CLI" expr "$@" 2>/dev/null)
    status=$?
    local last
    last=$(printf '%s\n' "$out" | tail -n 1)
    if [[ "$status" != "$want_status" || "$last" != "$want_line" ]]; then
        echo "FAIL: expr $* -> status $status, last line '$last' (want $want_status, '$want_line')"
        failures=$((failures + 1))
    fi
}

check 0 "number: 10" "max(1, 2 + 3) * 2"
check 0 "text: 21" "'2' + '1'"
check 0 "number: 0.333333333333333" "1/3"
check 0 "number: 2.67" "round(2.675, 2)"
check 0 "bool: true" "'B' < 'a'"
check 0 "number: 1" -- --1 # after --, even "--..." is expression text
check 1 "error: Divide By Zero" "5 + 1 / 0"
check 1 "error: Invalid Expression" ""
check 1 "error: mismatched parenthesis" "(1 + 2"
check 1 "error: Unknown function foo()" "foo(1)"
check 0 "number: -1" -- -7 % 3        # words are joined with blanks
check 0 "number: -1" -- "-7 % 3"

# Variables: integer texts become numbers, anything else texts; unknown names fail.
check 0 "number: 19" --var Str=14 --var Dex=17 "max(Str, Dex) + 2"
check 0 "number: 16" --var str=14 "STR + 2"
check 0 "number: 13.5" --var Half=12.5 "Half + 1"
check 0 "text: 1" --var Empty= "Empty + 1"
check 0 "text: Ayla the Bold" --var "Name=Ayla" "Name + ' the Bold'"
check 0 "number: 255" --var "h=\$FF" "h"
check 0 "text: a=b" "--var=x=a=b" "x"
check 1 "error: Invalid Expression" "Str + 2"
check 1 "error: Invalid Typecast" --var x=3 "x := 1"
check 0 "text: " "lookup('weapons', 1, 'name')"

# Reports come before the answer.
out=$("$CLI" expr --lexemes --rpn "max(1, 2 + 3) * 2")
want=$'max (29)\n( (27)\n1 (3)\n, (30)\n2 (3)\n+ (6)\n3 (3)\n) (28)\n* (8)\n2 (3)\n1 2 3 + max 2 * \nnumber: 10'
if [[ "$out" != "$want" ]]; then
    echo "FAIL: --lexemes --rpn printed:"
    printf '%s\n' "$out"
    failures=$((failures + 1))
fi
out=$("$CLI" expr --rpn -- -3)
if [[ "$out" != $'3 neg \nnumber: -3' ]]; then
    echo "FAIL: --rpn -3 printed: $out"
    failures=$((failures + 1))
fi

# Usage errors go to standard error with status 2; --help explains the command.
for args in "-7 % 3" "--var" "--var novalue 1" "--bogus 1" ""; do
    # shellcheck disable=SC2086
    "$CLI" expr $args >/dev/null 2>&1
    status=$?
    if [[ "$status" != 2 ]]; then
        echo "FAIL: expr $args -> status $status (want 2)"
        failures=$((failures + 1))
    fi
done
"$CLI" expr "" >/dev/null 2>&1
if [[ $? != 1 ]]; then
    echo "FAIL: an empty expression is an evaluation error"
    failures=$((failures + 1))
fi
if ! "$CLI" expr --help | grep -q -- "--var NAME=VALUE"; then
    echo "FAIL: --help"
    failures=$((failures + 1))
fi
if ! "$CLI" --help | grep -q "expr"; then
    echo "FAIL: expr missing from the command list"
    failures=$((failures + 1))
fi

if [[ $failures -ne 0 ]]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "expr: all checks passed"
