#!/usr/bin/env bash
# folvi-cli under Wine: runs of one and of three passes with their report, CSV and JSON, the cache
# guard, Ctrl+C, a run whose tests all fail, refused arguments, outputs that cannot be written,
# the storage scan, the comparison of two reports and of two JSON documents, and --smart.
set -u
build=$1 cli=$2 launcher=$3
here=$(cd "$(dirname "$0")" && pwd)
run() { "$build/wine-run" "$launcher" "$cli" "$@"; }
# What needs no elevation runs without the launcher: one Wine process instead of two.
direct() { "$build/wine-run" "$cli" "$@"; }
winpath() { WINEPREFIX="$build/wineprefix" WINEDEBUG=-all "$build/wine-run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }
# Standard error comes with CR LF from the C runtime: without the CR, for the patterns below.
clean_err() { sed -i 's/\r$//' "$work/err"; }
cli() {
  local how=$1
  shift
  $how "$@" >"$work/out" 2>"$work/err"
  rc=$?
  clean_err
}
schema="$here/folvi_cli_results.schema.json"

work="$build/e2e"
rm -rf "$work" && mkdir -p "$work/location"
loc=$(winpath "$work/location")
w=$(winpath "$work")

. "$here/report_checks.sh"

# One pass of the Quick shape; Wine does not enforce unbuffered I/O, so the guard speaks. How each
# line, CSV row and JSON member is written is the tests' in the program's own process.
cli run --profile quick --file-size 64M --duration "50 ms" --report "$w\\report.txt" --csv "$w\\tests.csv" \
    --json "$w\\tests.json" "$loc"
[ $rc -eq 0 ] || { cat "$work/err"; fail "quick run exited $rc"; }
[ -e "$work/location/~folvi-benchmark.tmp" ] && fail "test file left behind"
[ "$(wc -l <"$work/tests.csv")" -eq 137 ] || fail "csv has not 1 + 68 + 68 lines"
# Standard error is a pipe here: one line for the preparation, none rewritten in place.
[ "$(grep -c '^Preparing test file' "$work/err")" -eq 1 ] || fail "not one line for the preparation"
grep -q $'\r' "$work/err" && fail "progress is rewritten in place on a pipe"
check_report "$work/report.txt" 68 68
grep -q '^folvi-cli: warning: unbuffered I/O is not enforced at this location' "$work/err" || fail "no cache guard warning"
# Wine does not enforce unbuffered reads: every raw read is suspect, with its latencies.
[ "$(grep -c '^read,.*,raw,.*,cache-suspect,[0-9]' "$work/tests.csv")" -eq 34 ] || fail "raw reads are not cache-suspect"
python3 "$here/check_results_json.py" "$schema" "$work/tests.json" 1 || fail "JSON of one pass"

# Three passes: a report like any other, every combination with its three passes.
cli run --profile quick --file-size 16M --duration "20 ms" --sizes 64K,1M --counts 1,4 --repeat 3 \
    --report "$w\\repeat.txt" --csv "$w\\repeat.csv" --json "$w\\repeat.json" "$loc"
[ $rc -eq 0 ] || { cat "$work/err"; fail "--repeat 3 exited $rc"; }
check_report "$work/repeat.txt" 8 8
python3 "$here/check_results_json.py" "$schema" "$work/repeat.json" 3 || fail "JSON of three passes"

# Two reports compared, two JSON documents, and one cut short refused (which damage is refused how
# is the readers' test).
cli direct --compare "$w\\report.txt" "$w\\repeat.txt"
[ $rc -eq 0 ] || { cat "$work/err"; fail "--compare exited $rc"; }
grep -q '^Median read ratio B / A: [0-9.]* over 8 combinations$' "$work/out" || fail "no median read ratio"
cli direct --compare "$w\\tests.json" "$w\\repeat.json"
[ $rc -eq 0 ] || { cat "$work/err"; fail "--compare of JSON exited $rc"; }
grep -q '^       4 x   1048576  raw   .* [0-9.]*  *[0-9.]*$' "$work/out" || fail "no common row with p99"
head -c 3000 "$work/tests.json" >"$work/cut.json"
cli direct --compare "$w\\tests.json" "$w\\cut.json"
[ $rc -eq 2 ] || fail "--compare of a cut JSON document exited $rc"
grep -q '^folvi-cli: --compare: ".*cut.json" is not one of our JSON documents, byte [0-9]*: ' "$work/err" \
  || { cat "$work/err"; fail "--compare of a cut JSON document gives no reason"; }

# Ctrl+C in the read phase ends the run: exit 1, a report of what ran (on standard output, without
# the mark), and no test file left behind. The program is started directly, so that the signal
# goes to the one process this test started.
"$build/wine-run" "$cli" --profile quick --file-size 64M --duration "200 ms" "$loc" >"$work/out" 2>"$work/err" &
runner=$!
for _ in $(seq 1 120); do
  [ "$(cat /proc/$runner/comm 2>/dev/null)" = folvi-cli.exe ] && grep -q '^read ' "$work/err" && break
  sleep 0.25
done
[ "$(cat /proc/$runner/comm 2>/dev/null)" = folvi-cli.exe ] || fail "the run started is not folvi-cli"
kill -INT "$runner"
wait $runner
rc=$?
[ $rc -eq 1 ] || { cat "$work/err"; fail "Ctrl+C run exited $rc"; }
[ -e "$work/location/~folvi-benchmark.tmp" ] && fail "test file left behind after Ctrl+C"
[ "$(head -c 3 "$work/out")" = "+--" ] || fail "standard output report is not bare text"
grep -q $'^Write.tests                     0 / 68\r$' "$work/out" || fail "Ctrl+C did not end the run"

# Every test fails (a buffer that does not divide the file): completed, but not 0.
cli run --profile quick --file-size 1M --sizes 768K --counts 1 --write-modes 0 --duration "1 sec" "$loc"
[ $rc -eq 4 ] || { cat "$work/err"; fail "a run whose tests all failed exited $rc"; }
grep -q $'^Read.tests.failed               2\r$' "$work/out" || fail "the failed run's report is missing"
grep -q 'CheckRequestResult() failed with ' "$work/err" || fail "the failing test is not named"

# Refused before anything is created: exit 2 and the reason. Each reason is the option reader's or
# the checks' test; here each stage reaches the program's exit.
refused() {  # expected-message arguments...
  local expected=$1
  shift
  cli direct "$@"
  [ $rc -eq 2 ] || fail "$* exited $rc"
  grep -qF -- "folvi-cli: $expected" "$work/err" || { cat "$work/err"; fail "$* does not say: $expected"; }
  grep -q '^Preparing' "$work/err" && fail "$* ran"
}
refused 'LOCATION: missing' ""
refused "LOCATION: \"$w\\missing\" does not exist" "$w\\missing"
refused "--report: \"$w\\no-such\\r.txt\" cannot be written: CreateFile() failed with 3" --report "$w\\no-such\\r.txt" "$loc"
# The location's own sector size reaches the check of the raw sizes.
refused "--sizes: 1000 is not a multiple of the location's " --sizes 1000,64K --read-modes 1 --write-modes 0 "$loc"
[ -e "$work/location/~folvi-benchmark.tmp" ] && fail "a refused run created the test file"
[ -e "$work/missing" ] && fail "a missing location was created"
[ -e "$work/no-such" ] && fail "a report folder was created"

# A report that cannot be written at the end is not lost: it goes to standard output.
# A test of a small cached file ends in milliseconds: a hundred passes give the folder below
# seconds to be in place before the report is written.
run --profile quick --repeat 100 --file-size 16M --sizes 64K --counts 1 --report "$w\\late.txt" "$loc" \
    >"$work/out" 2>"$work/err" &
runner=$!
for _ in $(seq 1 600); do grep -q '^Running read tests' "$work/err" && break; sleep 0.1; done
grep -q '^Running read tests' "$work/err" || { cat "$work/err"; fail "the run never reached its read tests"; }
mkdir "$work/late.txt"  # a folder where the report should go
wait $runner
rc=$?
clean_err
[ $rc -eq 3 ] || { cat "$work/err"; fail "a report that could not be written exited $rc"; }
grep -q '^folvi-cli: the report could not be written to ".*late.txt" (CreateFile() failed with 5); it follows on standard output$' \
  "$work/err" || { cat "$work/err"; fail "no word of the unwritten report"; }
grep -q $'^Read.tests                      2 / 2\r$' "$work/out" || fail "the unwritten report is not on standard output"

# The storage scan: Wine shows volumes C: and Z: and no disks; the location lies on Z:.
cli run --scan "$loc"
mv "$work/out" "$work/scan"
[ $rc -eq 0 ] || { cat "$work/err"; fail "scan exited $rc"; }
grep -q ' 2   None found$' "$work/scan" || fail "no drives should be found under Wine"
for letter in C Z; do
  grep -q " 2  *1\. $letter:\\\\$" "$work/scan" || fail "volume $letter: is not listed with its mount point"
done
[ "$(grep -c 'FileSystem                   \[NTFS\]$' "$work/scan")" -ge 2 ] || fail "volumes lack their file systems"
grep -q '^Volume:      [0-9A-F]\{4\}-[0-9A-F]\{4\}$' "$work/scan" || fail "the location's serial is not shown"

# --smart reads saved blocks: the table on standard output, a note on standard error (what each
# block says is the tests' of the program's process); a short block is refused. The block: revision
# 16, eight usual attributes and an entry 255, its checksum in byte 511.
python3 -c 'import struct, sys
b = bytearray(512); b[0] = 16
for i, id in enumerate((1, 5, 9, 12, 194, 197, 198, 199, 255)):
    b[2 + 12 * i:14 + 12 * i] = struct.pack("<BHBB6sB", id, 0x32, 100, 100, bytes(6), 0)
b[511] = -sum(b) & 0xFF
open(sys.argv[1], "wb").write(b)' "$work/odd.bin"
cli direct --smart "smart:$w\\odd.bin"
[ $rc -eq 0 ] && [ "$(grep -c '|' "$work/out")" -eq 9 ] || fail "--smart of a block exited $rc or shows not nine rows"
[ "$(cat "$work/err")" = "folvi-cli: smart:$w\\odd.bin: note: not a usual attribute set (Entry 255 is present); shown all the same, as its checksum is right" ] \
  || fail "--smart's note: $(cat "$work/err")"
head -c 500 "$work/odd.bin" >"$work/short.bin"
refused "smart:$w\\short.bin: 500 bytes, but a SMART READ DATA block has 512" --smart "smart:$w\\short.bin"

rm -rf "$work"
echo "folvi-cli end to end: passed"
