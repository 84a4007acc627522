#!/usr/bin/env bash
# The upload window end to end under Wine against the real share server over TLS on loopback: a
# screenshot share stores its three images and answers the link of its page (report shares are
# folvi_cli_predict's, the prompt before them the window tests').
# Before that, WinINet refuses the server while the test CA is not trusted, and by an address
# that the certificate does not name; add-root-cert refuses what it cannot use.
# Usage: share_e2e.sh BUILD_DIR PROBE ADD_ROOT_CERT SOURCE_DIR FOLVI_SHARE
set -u
build=$1 probe=$2 addcert=$3 source=$4 server=$5
dir="$build/share-e2e"
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
run() { "$build/wine-run" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }

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

# A screenshot share: the dialog opens the link the server answered.
printf 'FOLVI e2e report one\r\nRead.best.io        4 x 1048576 bytes, raw\r\n' >"$dir/one.txt"
out=$(run "$probe" screenshot "$(winpath "$dir/one.txt")")
echo "$out"
grep -qx 'result 1' <<<"$out" && ! grep -q '^box' <<<"$out" || fail "the screenshot share: $out"
link=$(sed -n 's/^link //p' <<<"$out")
[[ $link =~ ^https://localhost:$port/s/[A-Za-z0-9_-]{22}$ ]] || fail "link: $link"
python3 - "$dir/shares.db" <<'PY' || fail "the screenshot share in the database"
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
kinds = [k for (k,) in db.execute("SELECT kind FROM shares ORDER BY received_at, rowid")]
assert kinds == ["screenshot"], kinds
images = sorted(db.execute("SELECT name, width, height FROM share_images"))
assert images == [("read_graph", 160, 100), ("screenshot", 320, 240), ("write_graph", 180, 100)], images
PY

# The link is the share's page, with the report in it (how the page looks is the server's test).
curl -sf --cacert "$ca_dir/ca.pem" "$link" >"$dir/page.html" || fail "the link does not answer"
grep -qF 'FOLVI e2e report one' "$dir/page.html" || fail "the report text is not in the page"
out=$(run "$addcert" --remove "$ca")
[[ $out == "removed "* ]] || fail "add-root-cert --remove: $out"
echo "share dialogs end to end: all passed"
