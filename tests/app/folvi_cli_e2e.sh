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
report=$(tail -c +4 "$work/report.txt")
[ "$(printf '%s' "$report" | head -n 1)" = $'+----------------------------------+  \r' ] || fail "report does not open with its box"
[ "$(printf '%s\n' "$report" | grep -vc $'\r$')" -eq 0 ] || fail "a report line does not end in CR LF"
printf '%s' "$report" | grep -q $'^Read.tests                      68 / 68\r$' || fail "Read.tests is not 68 / 68"
printf '%s' "$report" | grep -q $'^Write.tests                     68 / 68\r$' || fail "Write.tests is not 68 / 68"
[ "$(printf '%s' "$report" | grep -c '^ *[0-9]*  |  ')" -eq 136 ] || fail "report has not 136 measurement rows"
printf '%s' "$report" | grep -q "^Test.path                       $(printf '%s' "$loc" | sed 's/\\/\\\\/g')"$'\r$' \
  || fail "Test.path is not the location"

grep -q "^$(printf '%-32s' Volume.file_system)"$'[^?\r]' "$work/report.txt" || fail "report lacks the location's file system"

# The storage scan: Wine shows volumes C: and Z: and no disks; the location lies on Z:.
run --scan "$loc" >"$work/scan" 2>"$work/err"
rc=$?
[ $rc -eq 0 ] || { cat "$work/err"; fail "scan exited $rc"; }
grep -q '^FOLVI Vezad, version [0-9.]*$' "$work/scan" || fail "scan log lacks its banner"
stamp='[0-9]\{4\}\.[0-9][0-9]\.[0-9][0-9] [0-9:]\{8\}\.[0-9]\{3\} (UTC[-+][0-9]*)'
grep -q "^$stamp 2 Enumerating storage devices\.\.\.$" "$work/scan" || fail "scan log lacks time stamps"
grep -q "^$stamp 2   None found$" "$work/scan" || fail "no drives should be found under Wine"
for letter in C Z; do
  grep -q "^$stamp 2  *1\. $letter:\\\\$" "$work/scan" || fail "volume $letter: is not listed with its mount point"
done
[ "$(grep -c 'FileSystem                   \[NTFS\]$' "$work/scan")" -ge 2 ] || fail "volumes lack their file systems"
[ "$(grep -c 'Serial                       [0-9A-F]\{4\}-[0-9A-F]\{4\}$' "$work/scan")" -ge 2 ] \
  || fail "volumes lack their serials"
grep -q "^$stamp 2 Storage stack:$" "$work/scan" || fail "scan does not end with the storage stack"
sed -n '/Storage stack:/,$p' "$work/scan" | grep -q '^File system: ' || fail "no summary after the scan"
grep -q '^File system: [A-Za-z]' "$work/scan" || fail "the location's file system is not shown"
grep -q '^Volume:      [0-9A-F]\{4\}-[0-9A-F]\{4\}$' "$work/scan" || fail "the location's serial is not shown"

# Ctrl+C in the read phase ends the run: exit 1, a report of what ran (on standard output, without
# the mark), and no test file left behind.
run --profile quick --file-size 64M --duration "200 ms" "$loc" >"$work/out" 2>"$work/err" &
runner=$!
for _ in $(seq 1 120); do grep -q '^read ' "$work/err" && break; sleep 0.25; done
cli_pid=$(pgrep -f 'folvi-cli.exe .*--duration 200 ms' | while read -r p; do
  [ "$(cat /proc/$p/comm)" = folvi-cli.exe ] && echo "$p"; done | head -n 1)
[ -n "$cli_pid" ] || fail "no running folvi-cli to interrupt"
kill -INT "$cli_pid"
wait $runner
rc=$?
[ $rc -eq 1 ] || { cat "$work/err"; fail "Ctrl+C run exited $rc"; }
[ -e "$work/location/~folvi-benchmark.tmp" ] && fail "test file left behind after Ctrl+C"
[ "$(head -c 3 "$work/out")" = "+--" ] || fail "standard output report is not bare text"
grep -q $'^Write.tests                     0 / 68\r$' "$work/out" || fail "Ctrl+C did not end the run"

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
