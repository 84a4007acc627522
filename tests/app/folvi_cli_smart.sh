#!/usr/bin/env bash
# folvi-cli --smart under Wine reads saved blocks: the table on standard output and a note on
# standard error, exit 0; a bad file exits 2. The decoding is the tests' of the program's process.
set -u
build=$1 cli=$2
winpath() { WINEPREFIX="$build/wineprefix" WINEDEBUG=-all "$build/wine-run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }
smart() {
  "$build/wine-run" "$cli" --smart "$@" >"$work/out" 2>"$work/err"
  rc=$?
}

work="$build/e2e-smart"
rm -rf "$work" && mkdir -p "$work"
# A SMART READ DATA block of revision 16 with eight usual attributes and an entry 255, its checksum
# in byte 511.
python3 - "$work/odd.bin" <<'PY'
import struct, sys
b = bytearray(512)
b[0:2] = struct.pack('<H', 16)
for i, id in enumerate((1, 5, 9, 12, 194, 197, 198, 199, 255)):
    b[2 + 12 * i:14 + 12 * i] = struct.pack('<BHBB6sB', id, 0x32, 100, 100, bytes(6), 0)
b[511] = (-sum(b[:511])) & 0xFF
open(sys.argv[1], 'wb').write(b)
PY
head -c 500 "$work/odd.bin" >"$work/short.bin"

odd="smart:$(winpath "$work/odd.bin")"
smart "$odd"
[ $rc -eq 0 ] || { cat "$work/err"; fail "a block with an entry 255 exited $rc"; }
[ "$(head -n 1 "$work/out" | tr -d '\r')" = "SMART table" ] || fail "no SMART table heading"
[ "$(grep -c '|' "$work/out")" -eq 9 ] || fail "the block does not show nine rows"
[ "$(tr -d '\r' <"$work/err")" = "folvi-cli: $odd: note: not a usual attribute set (Entry 255 is present); shown all the same, as its checksum is right" ] \
  || { cat "$work/err"; fail "the block's note is not as expected"; }
smart "smart:$(winpath "$work/short.bin")"
[ $rc -eq 2 ] || fail "a short block exited $rc, not 2"
grep -q '500 bytes, but a SMART READ DATA block has 512' "$work/err" || fail "the short block's message is missing"
rm -rf "$work"
echo "folvi-cli --smart: OK"
