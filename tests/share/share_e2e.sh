#!/usr/bin/env bash
# The sharing dialogs end to end under Wine against the real share server over TLS on loopback:
# the share prompt, on OK, uploads the reports as a report share, which the server stores; a screenshot share stores its three images and answers the link of its page.
# Before that, WinINet refuses the server while the test CA is not trusted, and by an address
# that the certificate does not name; add-root-cert refuses what it cannot use.
# Usage: share_e2e.sh BUILD_DIR PROBE ADD_ROOT_CERT SOURCE_DIR FOLVI_SHARE
set -u
build=$1 probe=$2 addcert=$3 source=$4 server=$5
dir="$build/share-e2e"
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
run() { "$build/wine-run" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }
expect_line() { grep -qxF -- "$2" <<<"$1" || fail "no line '$2' in:"$'\n'"$1"; }

rm -rf "$dir" && mkdir -p "$dir" || exit 1

[ -x "$server" ] || fail "no share server at $server"

# The test CA in the build folder; the certificate names localhost, so the client goes there.
ca_dir="$build/test-ca"
"$source/tools/make-test-ca" "$ca_dir" || fail "make-test-ca"
ca=$(winpath "$ca_dir/ca.pem")
"$server" --listen 127.0.0.1:0 --port-file "$dir/port" --db "$dir/shares.db" --cert "$ca_dir/server.pem" \
  --key "$ca_dir/server.key" 2>"$dir/server.log" &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; run "$addcert" --remove "$ca" >/dev/null' EXIT
for _ in $(seq 1 200); do [ -s "$dir/port" ] && break; kill -0 "$server_pid" 2>/dev/null || break; sleep 0.05; done
port=$(cat "$dir/port" 2>/dev/null) || fail "the server did not start: $(cat "$dir/server.log")"
export FOLVI_SHARE_HOST=localhost FOLVI_SHARE_PORT=$port FOLVI_SHARE_TLS=1
printf 'refused\r\n' >"$dir/refused.txt"
refused() {  # WHAT: a screenshot share that must fail, saying so in a message box
  local out
  out=$(run "$probe" screenshot "$(winpath "$dir/refused.txt")")
  echo "$1: $out"
  grep -q '^box ' <<<"$out" && ! grep -qx 'result 1' <<<"$out" || fail "$1: $out"
}
run "$addcert" --remove "$ca" >/dev/null  # left trusted by a run that did not finish
refused "without the test CA"

"$build/wine-run" "$addcert" >/dev/null 2>&1; [ $? -eq 1 ] || fail "add-root-cert without an argument must exit 1"
"$build/wine-run" "$addcert" "$(winpath "$dir/missing.pem")" >/dev/null 2>&1; [ $? -eq 2 ] || fail "a missing file must exit 2"
printf 'not a certificate\n' >"$dir/junk.pem"
"$build/wine-run" "$addcert" "$(winpath "$dir/junk.pem")" >/dev/null 2>&1; [ $? -eq 3 ] || fail "junk must exit 3"
out=$(run "$addcert" "$ca")
[[ $out == "added "* ]] || fail "add-root-cert: $out"
FOLVI_SHARE_HOST=127.0.0.1 refused "by an address the certificate does not name"

# Two reports joined as the main window joins them, and a storage-scan log.
printf 'FOLVI e2e report one\r\nRead.best.io        4 x 1048576 bytes, raw\r\n' >"$dir/one.txt"
printf 'FOLVI e2e report two <b>&amp;</b>\r\n' >"$dir/two.txt"
{ cat "$dir/one.txt"; printf '\r\n-------\r\n\r\n'; cat "$dir/two.txt"; } >"$dir/reports.txt"
printf 'FOLVI Vezad, version 0.1.2.3\r\nscan of the e2e test\r\n' >"$dir/scan.txt"

# The prompt: OK uploads the reports and the server says OK (any other answer would have shown a
# message box).
out=$(run "$probe" prompt "$(winpath "$dir/reports.txt")" "$(winpath "$dir/scan.txt")")
echo "$out"
expect_line "$out" "asked again: yes"
grep -q '^box' <<<"$out" && fail "a message box: $out"
stored=$(python3 - "$dir/shares.db" "$dir/reports.txt" "$dir/scan.txt" <<'PY'
import sqlite3, sys, zlib
db = sqlite3.connect(sys.argv[1])
rows = db.execute("SELECT kind, report_packed, report_size, stack_scan_packed, stack_scan_size, user_agent "
                  "FROM shares").fetchall()
assert len(rows) == 1, rows
kind, report, report_size, scan, scan_size, agent = rows[0]
assert kind == "report", kind
report, scan = zlib.decompress(report), zlib.decompress(scan)
assert report == open(sys.argv[2], "rb").read() and len(report) == report_size, report
assert scan == open(sys.argv[3], "rb").read() and len(scan) == scan_size, scan
assert agent.startswith("FOLVI Benchmark, v. "), agent
assert db.execute("SELECT COUNT(*) FROM share_images").fetchone()[0] == 0
print("report share stored")
PY
) || fail "the report share in the database: $stored"
echo "$stored"

# A screenshot share: the dialog opens the link the server answered.
out=$(run "$probe" screenshot "$(winpath "$dir/one.txt")")
echo "$out"
expect_line "$out" "result 1"
link=$(sed -n 's/^link //p' <<<"$out")
[[ $link =~ ^https://localhost:$port/s/[A-Za-z0-9_-]{22}$ ]] || fail "link: $link"
python3 - "$dir/shares.db" <<'PY' || fail "the screenshot share in the database"
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
kinds = [k for (k,) in db.execute("SELECT kind FROM shares ORDER BY received_at, rowid")]
assert kinds == ["report", "screenshot"], kinds
images = sorted(db.execute("SELECT name, width, height FROM share_images"))
assert images == [("read_graph", 160, 100), ("screenshot", 320, 240), ("write_graph", 180, 100)], images
PY

# The link is the share's page, with the report in it (how the page looks is the server's test).
curl -sf --cacert "$ca_dir/ca.pem" "$link" >"$dir/page.html" || fail "the link does not answer"
grep -qF 'FOLVI e2e report one' "$dir/page.html" || fail "the report text is not in the page"
out=$(run "$addcert" --remove "$ca")
[[ $out == "removed "* ]] || fail "add-root-cert --remove: $out"
echo "share dialogs end to end: all passed"
