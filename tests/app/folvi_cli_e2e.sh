#!/usr/bin/env bash
# folvi-cli under Wine: a short Quick-shaped run, a missing folder, bad arguments.
set -u
build=$1 cli=$2 launcher=$3
run() { "$build/wine-run" "$launcher" "$cli" "$@"; }
winpath() { WINEPREFIX="$build/wineprefix" WINEDEBUG=-all "$build/wine-run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }

work="$build/e2e"
rm -rf "$work" && mkdir -p "$work/location"
loc=$(winpath "$work/location")

run --profile quick --file-size 64M --duration "50 ms" --report "$(winpath "$work/report.txt")" \
    --csv "$(winpath "$work/tests.csv")" "$loc" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 0 ] || { cat "$work/err"; fail "quick run exited $rc"; }
[ -e "$work/location/~folvi-benchmark.tmp" ] && fail "test file left behind"
rows=$(wc -l <"$work/tests.csv")
[ "$rows" -eq 137 ] || fail "csv has $rows lines, expected 1 + 68 + 68"
[ "$(grep -c '^read,' "$work/tests.csv")" -eq 68 ] || fail "68 read rows expected"
grep -q '^Preparing test file: 100%' "$work/err" || fail "no preparation progress"
[ "$(head -c 3 "$work/report.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "report lacks the byte-order mark"

run "$(winpath "$work/missing")" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 3 ] || fail "missing folder exited $rc"
grep -q 'CreateFile() failed with 3, ' "$work/err" || { cat "$work/err"; fail "no CreateFile cause"; }

run --duration 500 "$loc" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 2 ] || fail "bad duration exited $rc"
grep -q -- '--duration: "500"' "$work/err" || fail "reason does not name the option"

rm -rf "$work"
echo "folvi-cli end to end: passed"
