#!/usr/bin/env bash
# folvi-cli --scan --record and --replay under Wine: the replay of Wine's own answers prints the
# recorded scan's log and summary (time stamps aside), a damaged recording is refused with its
# line and exit 2, and every recording sent in from a real machine replays to its own log.
set -u
build=$1 cli=$2 data=$3
fail() { echo "FAILED: $*"; exit 1; }
winpath() { WINEPREFIX="$build/wineprefix" WINEDEBUG=-all "$build/wine-run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
cli() {
  "$build/wine-run" "$cli" "$@" >"$work/out" 2>"$work/err"
  rc=$?
  sed -i 's/\r$//' "$work/err"
}
# The log without its time stamps.
unstamped() { sed 's/^[0-9]\{4\}\.[0-9][0-9]\.[0-9][0-9] [0-9:]\{8\}\.[0-9]\{3\} (UTC[-+][0-9]*) //' "$1"; }

work="$build/e2e-replay"
rm -rf "$work" && mkdir -p "$work"
w=$(winpath "$work")

cli --scan --record "$w\\r.txt" 'Z:\'
[ $rc -eq 0 ] || { cat "$work/err"; fail "--record exited $rc"; }
mv "$work/out" "$work/recorded"
grep -q '^volume_information$' "$work/r.txt" || fail "the volumes' answers are not recorded"
cli --scan --replay "$w\\r.txt" 'Z:\'
[ $rc -eq 0 ] || { cat "$work/err"; fail "--replay exited $rc"; }
diff <(unstamped "$work/recorded") <(unstamped "$work/out") || fail "the replayed scan differs from the recorded one"

# Damage (which is refused how is the reader's test) and a missing file: the line and why, exit 2,
# nothing on standard output.
sed '2s/format 1/format 9/' "$work/r.txt" >"$work/format.txt"
cli --scan --replay "$w\\format.txt" 'Z:\'
[ $rc -eq 2 ] && [ ! -s "$work/out" ] || fail "a damaged recording exited $rc"
grep -qx 'folvi-cli: --replay: .*format.txt: line 2: format 9 is not known; this program reads format 1' "$work/err" \
  || { cat "$work/err"; fail "a damaged recording is not refused with its line"; }
cli --scan --replay "$w\\absent.txt"
[ $rc -eq 2 ] && [ ! -s "$work/out" ] || fail "a missing recording exited $rc"
grep -qx 'folvi-cli: --replay: .*absent.txt: cannot be opened (CreateFile() failed with 2)' "$work/err" \
  || { cat "$work/err"; fail "a missing recording is not named"; }

# Recordings sent in from real machines: each replays to the log beside it.
for rec in "$data"/real/*.txt; do
  [ -e "$rec" ] || continue
  case "$rec" in *.log.txt) continue ;; esac
  expected="${rec%.txt}.log.txt"
  [ -e "$expected" ] || fail "$rec has no expected log beside it"
  cli --scan --replay "$(winpath "$rec")"
  [ $rc -eq 0 ] || { cat "$work/err"; fail "$rec: replay exited $rc"; }
  diff <(unstamped "$expected" | sed 1,3d) <(unstamped "$work/out" | sed 1,3d) || fail "$rec replays differently"
done

rm -rf "$work"
echo "folvi-cli record and replay: passed"
