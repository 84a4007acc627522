#!/usr/bin/env bash
# WinINet over TLS against the scripted responder: refused without the test CA, trusted once
# add-root-cert has put it into the prefix's Root store, and refused again for a host name that
# the certificate does not carry.
set -u
build=$1 probe=$2 addcert=$3 responder=$4
dir="$build/share-tls"
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
run() { "$build/wine-run" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }

rm -rf "$dir" && mkdir -p "$dir" && cd "$dir" || exit 1
# A new CA on every run, so that no earlier run's CA in the prefix can make the first post pass.
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=FOLVI Test CA $(date +%s%N)" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null || fail "make CA"
openssl req -newkey rsa:2048 -nodes -keyout localhost.key -out localhost.csr -subj "/CN=localhost" 2>/dev/null \
  || fail "make key"
printf '%s\n' "subjectAltName=DNS:localhost" "basicConstraints=CA:FALSE" "keyUsage=digitalSignature,keyEncipherment" \
  "extendedKeyUsage=serverAuth" >localhost.ext
openssl x509 -req -in localhost.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -out localhost.pem \
  -extfile localhost.ext 2>/dev/null || fail "sign certificate"
ca=$(winpath "$dir/ca.pem")

python3 "$responder" start "$dir/responder" --tls localhost.pem localhost.key || fail "responder did not start"
trap 'python3 "$responder" stop "$dir/responder"; run "$addcert" --remove "$ca" >/dev/null' EXIT
port=$(cat responder/port)

out=$(run "$probe" localhost "$port" 1 record/untrusted)
echo "without the CA: $out"
[[ $out =~ ^FAILED\ HttpSendRequest(\.\[[^]]*localhost[^]]*\])?\ (12045|12057)\ $ ]] || fail "untrusted server: $out"

# The tool refuses what it cannot use.
"$build/wine-run" "$addcert" >/dev/null 2>&1; [ $? -eq 1 ] || fail "no argument must exit 1"
"$build/wine-run" "$addcert" "$(winpath "$dir/missing.pem")" >/dev/null 2>&1; [ $? -eq 2 ] || fail "missing file must exit 2"
printf 'not a certificate\n' >junk.pem
"$build/wine-run" "$addcert" "$(winpath "$dir/junk.pem")" >/dev/null 2>&1; [ $? -eq 3 ] || fail "junk must exit 3"

out=$(run "$addcert" "$ca")
[[ $out == "added FOLVI Test CA "* ]] || fail "add-root-cert: $out"
out=$(run "$probe" localhost "$port" 1 record/trusted)
[ "$out" = "OK OK" ] || fail "trusted server: $out"
[ -s responder/trusted.body ] || fail "the responder kept no body"

out=$(run "$probe" 127.0.0.1 "$port" 1 record/by-address)
echo "by address: $out"
[[ $out =~ ^FAILED\ HttpSendRequest(\.\[[^]]*\])?\ 12038\ $ ]] || fail "name mismatch: $out"

# The upload itself, pointed at this server through the environment.
out=$(FOLVI_SHARE_HOST=localhost FOLVI_SHARE_PORT=$port FOLVI_SHARE_TLS=1 run "$probe" --upload screenshot)
[ "$out" = $'OK OK\nhttps://localhost/s/0123456789abcdef0123456789abcdef' ] || fail "upload over TLS: $out"
grep -q 'filename="package.zip"' responder/upload-screenshot.body || fail "upload body"

out=$(run "$addcert" --remove "$ca")
[[ $out == "removed FOLVI Test CA "* ]] || fail "remove: $out"
out=$(run "$probe" localhost "$port" 1 record/removed)
[[ $out =~ ^FAILED\ HttpSendRequest ]] || fail "still trusted after removal: $out"
echo "TLS posts: all passed"
