#!/usr/bin/env bash
# folvi-cli --smart under Wine: a saved SMART block prints its table, an odd one with a note; a bad
# file exits 2.
set -u
build=$1 cli=$2
run() { "$build/wine-run" "$cli" "$@"; }
winpath() { WINEPREFIX="$build/wineprefix" WINEDEBUG=-all "$build/wine-run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }

work="$build/e2e-smart"
rm -rf "$work" && mkdir -p "$work"
# A SMART READ DATA block: revision 16, eight attributes, the checksum in byte 511.
# The second one also has an entry 255, which real drives have but the plausibility rules frown on.
python3 - "$work/smart.bin" "$work/odd.bin" <<'PY'
import struct, sys
def block(entries):
    b = bytearray(512)
    b[0:2] = struct.pack('<H', 16)
    for i, (id, value, raw) in enumerate(entries):
        b[2 + 12 * i:14 + 12 * i] = struct.pack('<BHBB6sB', id, 0x32, value, value, raw.to_bytes(6, 'little'), 0)
    b[511] = (-sum(b[:511])) & 0xFF
    return b
usual = [(1, 100, 0), (5, 100, 0), (9, 97, 12044), (12, 99, 1834), (194, 36, 36), (197, 100, 0), (198, 100, 0),
         (199, 200, 0)]
open(sys.argv[1], 'wb').write(block(usual))
open(sys.argv[2], 'wb').write(block(usual + [(255, 100, 7)]))
PY
head -c 500 "$work/smart.bin" >"$work/short.bin"

run --smart "smart:$(winpath "$work/smart.bin")" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 0 ] || { cat "$work/err"; fail "a good block exited $rc"; }
[ "$(head -n 1 "$work/out" | tr -d '\r')" = "SMART table" ] || fail "no SMART table heading"
grep -q '^ 3\.    9   97  ---  000000002f0c  0032  |  Common           |  Power-on hours' "$work/out" \
  || fail "the power-on hours row is not as the dump writes it"
[ "$(grep -c '|' "$work/out")" -eq 8 ] || fail "not eight rows"
[ -s "$work/err" ] && { cat "$work/err"; fail "a usual block gets a note"; }

odd="smart:$(winpath "$work/odd.bin")"
run --smart "$odd" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 0 ] || { cat "$work/err"; fail "a block with an entry 255 exited $rc"; }
[ "$(grep -c '|' "$work/out")" -eq 9 ] || fail "the block with an entry 255 does not show nine rows"
[ "$(tr -d '\r' <"$work/err")" = "folvi-cli: $odd: note: not a usual attribute set (Entry 255 is present); shown all the same, as its checksum is right" ] \
  || { cat "$work/err"; fail "the odd block's note is not as expected"; }

run --smart "smart:$(winpath "$work/short.bin")" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 2 ] || fail "a short block exited $rc, not 2"
grep -q '500 bytes, but a SMART READ DATA block has 512' "$work/err" || fail "the short block's message is missing"

run --smart >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "--smart without blocks did not exit 2"
echo "folvi-cli --smart: OK"
