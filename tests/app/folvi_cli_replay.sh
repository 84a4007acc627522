#!/usr/bin/env bash
# folvi-cli --scan --record and --replay under Wine: the replay of Wine's own answers prints the
# recorded scan's log and summary (time stamps aside), damaged recordings are refused with their
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
head -n 4 "$work/r.txt" | grep -q '^FOLVI Vezad scan recording$' || fail "the recording lacks its header"
grep -q '^program [0-9.]*$' "$work/r.txt" || fail "the recording does not name the program's version"
grep -q '^volume_information$' "$work/r.txt" || fail "the volumes' answers are not recorded"
cli --scan --replay "$w\\r.txt" 'Z:\'
[ $rc -eq 0 ] || { cat "$work/err"; fail "--replay exited $rc"; }
grep -q 'Storage stack:' "$work/out" || fail "the replay prints no storage stack"
diff <(unstamped "$work/recorded") <(unstamped "$work/out") || fail "the replayed scan differs from the recorded one"
grep -q 'Not in the recording' "$work/out" && fail "the replay lacked answers"

# Damage: the line and why, exit 2, nothing on standard output.
refused() {  # FILE EXPECTED-MESSAGE
  cli --scan --replay "$w\\$1" 'Z:\'
  [ $rc -eq 2 ] || fail "$1: exited $rc"
  [ -s "$work/out" ] && fail "$1: printed a scan"
  grep -qx "folvi-cli: --replay: .*$1: $2" "$work/err" || { cat "$work/err"; fail "$1: not refused with \"$2\""; }
}
hex=$(grep -n '^      0000  ' "$work/r.txt" | head -n 1 | cut -d: -f1)
[ -n "$hex" ] || fail "Wine's recording holds no hex data"
first=$(sed -n "${hex}p" "$work/r.txt" | awk '{print $2}')
flipped=$(printf '%s' "$first" | tr '0-9a-f' '1-9a-f0')
sed "${hex}s/^      0000  $first/      0000  $flipped/" "$work/r.txt" >"$work/flipped.txt"
refused flipped.txt "line $((hex - 1)): the bytes of \"out\" (to line [0-9]*) do not match its crc32.*"
sed "${hex}s/^\(      0000  \).*/\1/" "$work/r.txt" >"$work/cut.txt"
refused cut.txt "line $((hex - 1)): \"out\" announces [0-9]* bytes, 0 are given"
sed "$((hex - 1))s/out \([0-9]*\)/out 1\1/" "$work/r.txt" >"$work/size.txt"
refused size.txt "line $((hex - 1)): \"out\" announces 1[0-9]* bytes, [0-9]* are given"
sed '2s/format 1/format 9/' "$work/r.txt" >"$work/format.txt"
refused format.txt 'line 2: format 9 is not known; this program reads format 1'
cli --scan --replay "$w\\absent.txt"
[ $rc -eq 2 ] || fail "a missing recording exited $rc"
grep -q '^folvi-cli: --replay: .*absent.txt: cannot be opened (CreateFile() failed with 2)$' "$work/err" \
  || { cat "$work/err"; fail "a missing recording is not named"; }
cli --record "$w\\x.txt" 'Z:\'
[ $rc -eq 2 ] || fail "--record without --scan exited $rc"
grep -qx 'folvi-cli: --record: only with --scan' "$work/err" || fail "--record without --scan is not refused"

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
