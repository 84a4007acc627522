#!/usr/bin/env bash
# folvi-cli --predict under Wine against the real share server over TLS on loopback (an untrusted
# server is share_e2e's, its line prediction_test's): "no recommendation" with the server's reason
# while it has no observations, then, after reports of several machines are uploaded through the
# client's upload path, the recommendation for any device and for the drives of a recorded
# machine, and a clear line once the server is gone.
# Usage: folvi_cli_predict.sh BUILD_DIR FOLVI_CLI POST_PROBE ADD_ROOT_CERT SOURCE_DIR FOLVI_SHARE
set -u
build=$1 cli=$2 probe=$3 addcert=$4 source=$5 server=$6
machines="$source/tests/data/machines"
dir="$build/predict-e2e"
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
fail() { echo "FAILED: $*"; exit 1; }
predict() {
  "$build/wine-run" "$cli" --predict "$@" >"$dir/out" 2>"$dir/err"
  rc=$?
  sed -i 's/\r$//' "$dir/out" "$dir/err"
}
# exit code, standard output and standard error of the last predict, exactly.
expect() {
  local code=$1 out=$2 err=$3
  [ $rc -eq "$code" ] && [ "$(cat "$dir/out")" = "$out" ] && [ "$(cat "$dir/err")" = "$err" ] && return 0
  fail "expected exit $code, output"$'\n'"$out"$'\n'"and error"$'\n'"$err"$'\n'"got exit $rc, output"$'\n'"$(cat "$dir/out")"$'\n'"and error"$'\n'"$(cat "$dir/err")"
}

rm -rf "$dir" && mkdir -p "$dir" || exit 1
[ -x "$server" ] || fail "no share server at $server"

# A CA of this test's own, new on every run: no earlier run's CA in the prefix can make it trusted.
ca_dir="$dir/ca"
"$source/tools/make-test-ca" --force "$ca_dir" || fail "make-test-ca"
ca=$(winpath "$ca_dir/ca.pem")
"$server" --listen 127.0.0.1:0 --port-file "$dir/port" --db "$dir/shares.db" --cert "$ca_dir/server.pem" \
  --key "$ca_dir/server.key" 2>"$dir/server.log" &
server_pid=$!
stop_server() {
  [ -n "$server_pid" ] || return 0
  kill "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
  server_pid=""
}
trap 'stop_server; "$build/wine-run" "$addcert" --remove "$ca" >/dev/null 2>&1' EXIT
for _ in $(seq 1 200); do [ -s "$dir/port" ] && break; kill -0 "$server_pid" 2>/dev/null || break; sleep 0.05; done
port=$(cat "$dir/port" 2>/dev/null) || fail "the server did not start: $(cat "$dir/server.log")"
export FOLVI_SHARE_HOST=localhost FOLVI_SHARE_PORT=$port FOLVI_SHARE_TLS=1
any="Device: not identified, asking about all devices"

out=$("$build/wine-run" "$addcert" "$ca" 2>/dev/null | tr -d '\r')
[[ $out == "added "* ]] || fail "add-root-cert: $out"

predict
expect 3 "$any" "folvi-cli: --predict: the server has no recommendation: no observations yet"

# A report of a real run on this machine, as measured on an SSD of this machine and on the
# recorded machine's USB disk by several others (each its own MD5(MachineGuid)).
python3 - "$source/tests/data/reports/quick_run.folvi.txt" "$dir" <<'PY' || fail "the reports to upload"
import hashlib, sys
base = open(sys.argv[1], "rb").read().decode("utf-8").removeprefix("\ufeff")
folder = sys.argv[2]
assert base.count("\r\nDevice.controller") == 1

def with_device(machine, facts):
    lines = "".join(f"{key:<32}{value}\r\n" for key, value in facts)
    text = base.replace("bf464b3f7a74314f0203426713676b1e", machine).replace("\r\nDevice.controller", "\r\n" + lines + "Device.controller")
    assert machine in text and lines in text
    return text

ssd = [("Device.type", "SSD"), ("Device.vendor", "Samsung"), ("Device.model", "SSD 860 EVO"), ("Device.bus", "11 / 11")]
usb = [("Device.type", "HDD"), ("Device.vendor", "ASMT / Toshiba"), ("Device.model", "MQ01ABD100"), ("Device.bus", "7 / 7"), ("Device.usb", "USB 3.0")]
open(f"{folder}/report-0.txt", "wb").write(with_device("bf464b3f7a74314f0203426713676b1e", ssd).encode())
for n in range(1, 13):
    digest = hashlib.md5(f"predict e2e machine {n}".encode()).hexdigest()
    open(f"{folder}/report-{n}.txt", "wb").write(with_device(digest, usb).encode())
PY
reports=()
for n in $(seq 0 12); do reports+=("$(winpath "$dir/report-$n.txt")"); done
out=$("$build/wine-run" "$probe" --upload report "${reports[@]}" 2>/dev/null | tr -d '\r')
[ "$out" = "$(printf 'OK OK\n%.0s' $(seq 0 12) | head -c -1)" ] || fail "uploads: $out"

# The server learns from new shares on a thread of its own: wait until all of them count.
for _ in $(seq 1 600); do
  curl -s --cacert "$ca_dir/ca.pem" "https://localhost:$port/api/v1/predict?direction=write" | grep -q '"observations":13}' && break
  sleep 0.1
done

read_line() { echo "Recommended read: 1 x 1048576 bytes, buf seq, expected efficiency 100.0%, within 5% of the best in 100.0% (level $1)"; }
write_line() { echo "Recommended write: 4 x 1048576 bytes, buf, expected efficiency 100.0%, within 5% of the best in 100.0% (level $1)"; }
predict
expect 0 "$any"$'\n'"$(read_line "all, 13 observations")"$'\n'"$(write_line "all, 13 observations")" ""
# The recorded machines are of the 32-bit program, which a 64-bit twin refuses.
if [ "${FOLVI_TARGET_ARCH:-i686}" = i686 ]; then
  recording=$(winpath "$machines/desktop.txt")
  predict --replay "$recording" 'U:\'
  expect 0 "Device: type HDD, vendor ASMT / Toshiba, model MQ01ABD100, bus 7 / 7, usb USB 3.0"$'\n'"$(read_line "model, 12 observations")"$'\n'"$(write_line "model, 12 observations")" ""
  # The recording's RAID array is like none of them.
  predict --replay "$recording" 'C:\'
  expect 0 "Device: type RAID, vendor Intel, model Raid 1 Volume, bus 8 / 8"$'\n'"$(read_line "all, 13 observations")"$'\n'"$(write_line "all, 13 observations")" ""
fi

# A location this machine does not have is refused before anything is asked.
predict 'Q:\no such folder'
expect 2 "" 'folvi-cli: LOCATION: "Q:\no such folder" does not exist'
if [ "${FOLVI_TARGET_ARCH:-i686}" = i686 ]; then
  predict --replay "$recording" 'Q:\'
  expect 2 "" 'folvi-cli: LOCATION: "Q:\" is on no volume of the recording'
fi

stop_server
predict
expect 3 "$any" "folvi-cli: --predict: no answer from https://localhost:$port: it cannot be connected to (HttpSendRequest() failed with 12029)"
echo "folvi-cli --predict: all passed"
