#!/usr/bin/env bash
# folvi-cli --smart under Wine: a saved SMART block prints its table; a bad file exits 2.
set -u
build=$1 cli=$2
run() { "$build/wine-run" "$cli" "$@"; }
winpath() { WINEPREFIX="$build/wineprefix" WINEDEBUG=-all "$build/wine-run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }

work="$build/e2e-smart"
rm -rf "$work" && mkdir -p "$work"
# A SMART READ DATA block: revision 16, eight attributes, the checksum in byte 511.
python3 - "$work/smart.bin" <<'PY'
import struct, sys
b = bytearray(512)
b[0:2] = struct.pack('<H', 16)
for i, (id, value, raw) in enumerate([(1, 100, 0), (5, 100, 0), (9, 97, 12044), (12, 99, 1834),
                                       (194, 36, 36), (197, 100, 0), (198, 100, 0), (199, 200, 0)]):
    b[2 + 12 * i:14 + 12 * i] = struct.pack('<BHBB6sB', id, 0x32, value, value, raw.to_bytes(6, 'little'), 0)
b[511] = (-sum(b[:511])) & 0xFF
open(sys.argv[1], 'wb').write(b)
PY
head -c 500 "$work/smart.bin" >"$work/short.bin"

run --smart "smart:$(winpath "$work/smart.bin")" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 0 ] || { cat "$work/err"; fail "a good block exited $rc"; }
[ "$(head -n 1 "$work/out" | tr -d '\r')" = "SMART table" ] || fail "no SMART table heading"
grep -q '^ 3\.    9   97  ---  000000002f0c  0032  |  Common           |  Power-on hours' "$work/out" \
  || fail "the power-on hours row is not as the dump writes it"
[ "$(grep -c '|' "$work/out")" -eq 8 ] || fail "not eight rows"

run --smart "smart:$(winpath "$work/short.bin")" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 2 ] || fail "a short block exited $rc, not 2"
grep -q '500 bytes, but a SMART READ DATA block has 512' "$work/err" || fail "the short block's message is missing"

run --smart >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "--smart without blocks did not exit 2"
echo "folvi-cli --smart: OK"
