#!/usr/bin/env bash
# scripts/setup against fake dpkg-query, dpkg, apt-get and sudo on PATH and a fake /etc: nothing of
# the real system's packages or sources is read or changed. A fresh machine gets one line per step
# with apt's output in the log; a complete one hears nothing; a failing step shows the log's tail.
set -u
SETUP=$1 WORK=$2/setup-test DATA=$(dirname "$0")/../data/tools
rm -rf "$WORK" && mkdir -p "$WORK/bin" "$WORK/etc/apt/sources.list.d"
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The fakes read the machine's state from FAKE_INSTALLED (package names, or "all"), FAKE_ARCHS and
# FAKE_FAIL (the apt-get verb that fails), and append each call to $WORK/calls.
cat >"$WORK/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
pkg=${!#}
case " $FAKE_INSTALLED " in
  " all "|*" $pkg "*) ;;
  *) echo "dpkg-query: no packages found matching $pkg" >&2; exit 1 ;;
esac
case $2 in
  *Status*) printf 'install ok installed' ;;
  *Version*) printf '1:8.2.2+ds-2~bpo12+1' ;;
esac
EOF
cat >"$WORK/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$WORK/calls"
[ "$1" = --print-foreign-architectures ] && for a in $FAKE_ARCHS; do echo "$a"; done
exit 0
EOF
cat >"$WORK/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$WORK/calls"
while [ "$1" = -o ]; do shift 2; done
verb=$1
shift
for i in $(seq 1 300); do echo "Get:$i http://deb.debian.org/debian bookworm/main package-$i"; done
while [ "$verb" = install ] && [ $# -gt 0 ]; do
  pkg=$1
  shift
  [ "$pkg" = -t ] && shift
  [ "${pkg#-}" = "$pkg" ] || continue
  echo "Selecting previously unselected package $pkg."
  echo "Unpacking $pkg ..."
  echo "Setting up $pkg ..."
done
if [ "$verb" = "$FAKE_FAIL" ]; then
  echo "E: Unable to locate package chromium" >&2
  exit 100
fi
EOF
cat >"$WORK/bin/sudo" <<'EOF'
#!/usr/bin/env bash
echo "sudo $*" >>"$WORK/calls"
[ "$1" = -v ] || exec "$@"
EOF
chmod +x "$WORK/bin"/*
printf 'PRETTY_NAME="Debian GNU/Linux 12 (bookworm)"\nVERSION_CODENAME=bookworm\n' >"$WORK/etc/os-release"
export WORK

log=$WORK/setup.log
# The script's own package list: what the steps do with it is under test here, not its names.
eval "$(sed -n '/^pkgs=(/,/)/p' "$SETUP")"
((${#pkgs[@]} > 2)) || fail "no package list found in $SETUP"
# Runs setup on the fake machine; its standard output and error go to $WORK/out, its code to $code.
run_setup() {
  rm -f "$WORK/calls" "$log"
  PATH="$WORK/bin:$PATH" FOLVI_SETUP_ETC="$WORK/etc" FOLVI_SETUP_LOG="$log" \
    FAKE_INSTALLED="$1" FAKE_ARCHS="$2" FAKE_FAIL="${3:-}" bash "$SETUP" >"$WORK/out" 2>&1
  code=$?
}
calls() { grep -v '^sudo ' "$WORK/calls" 2>/dev/null | grep -v -- '--print-foreign-architectures'; }
apt="apt-get -o DPkg::Lock::Timeout=900"
# The file tests/data/tools/$1 with @LOG@, @COUNT@, @APT@ and @PKGS@ filled in.
expected() {
  sed "s|@LOG@|$log|; s|@COUNT@|${#pkgs[@]}|; s|@APT@|$apt|; s|@PKGS@|${pkgs[*]}|" "$DATA/$1"
}

# A fresh machine: every package and qemu-user from backports, each step on a line of its own.
run_setup "" amd64
((code == 0)) || fail "a fresh setup ended with $code: $(cat "$WORK/out")"
cmp -s "$WORK/out" <(expected setup_fresh.txt) || fail "a fresh setup printed:"$'\n'"$(diff <(expected setup_fresh.txt) "$WORK/out")"
(($(wc -l <"$WORK/out") <= 15)) || fail "a fresh setup printed more than 15 lines"
(($(grep -c '^Setting up ' "$log") == ${#pkgs[@]} + 1)) && (($(grep -c '^Get:' "$log") == 900)) ||
  fail "the log does not hold apt's whole output"
calls | cmp -s - <(expected setup_fresh_calls.txt) ||
  fail "a fresh setup ran:"$'\n'"$(calls | diff <(expected setup_fresh_calls.txt) -)"
grep -qx 'Suites: bookworm-backports' "$WORK/etc/apt/sources.list.d/backports.sources" ||
  fail "the backports source was not written"

# Everything there: not a word, nothing run, no log.
run_setup all "amd64 i386"
((code == 0)) && [ ! -s "$WORK/out" ] || fail "a complete machine's setup ended with $code, saying: $(cat "$WORK/out")"
[ -e "$WORK/calls" ] && fail "a complete machine's setup ran: $(cat "$WORK/calls")"
[ -e "$log" ] && fail "a complete machine's setup made a log"

# Two packages and qemu-user missing (backports already listed) and the install fails: apt's code,
# the step, the log's tail and its path; the log keeps everything; qemu-user's step does not run.
run_setup "${pkgs[*]:0:${#pkgs[@]}-2}" "amd64 i386" install
((code == 100)) || fail "a failed install ended with $code, not apt's 100"
head -n 3 "$WORK/out" | cmp -s - <(expected setup_failed_head.txt) ||
  fail "a failed install began with:"$'\n'"$(head -n 3 "$WORK/out" | diff <(expected setup_failed_head.txt) -)"
sed -n 4p "$WORK/out" | grep -qxF "FAILED: Installing 2 packages (exit 100). The last lines of $log:" ||
  fail "the failure does not name the step and the log: $(sed -n 4p "$WORK/out")"
tail -n +5 "$WORK/out" | cmp -s - <(tail -n 20 "$log") || fail "the failure does not show the log's tail"
tail -n 1 "$WORK/out" | grep -qx 'E: Unable to locate package chromium' || fail "apt's error is not shown"
grep -q 'done\.' "$WORK/out" && fail "a failed setup says it is done"
calls | grep -q 'qemu-user' && fail "the step after the failed one ran"
calls | grep -qx "$apt install -y --no-install-recommends ${pkgs[*]: -2}" ||
  fail "not exactly the missing packages were installed: $(calls)"
echo "setup: passed"
