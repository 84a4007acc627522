# Sourced by tests that drive windows: ui-driver as a long-lived helper and screenshots from the X
# server. The sourcing test sets BUILD (the build folder), DRIVER (ui-driver.exe) and WORK (an
# empty scratch folder of its own).

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The Windows path of a Linux file (Wine's drive Z: is the root).
windows_path() {
  local p
  p=$(realpath -m "$1")
  printf 'Z:%s' "${p//\//\\}"
}

# The program's control and command ids as shell variables named as in res/resource_ids.h
# (IDC_MAIN_STATUS=1058, ...), the one place they are written.
load_resource_ids() {
  local header name value
  header="$(dirname "${BASH_SOURCE[0]}")/../../res/resource_ids.h"
  [ -r "$header" ] || fail "no resource ids at $header"
  while read -r _ name value; do
    [[ $name =~ ^ID[A-Z0-9_]+$ && $value =~ ^[0-9]+$ ]] && printf -v "$name" '%s' "$value"
  done < <(grep '^#define ID' "$header")
  [ -n "${IDC_MAIN_STATUS:-}" ] || fail "no control ids read from $header"
}

# Starts ui-driver reading commands from a pipe; its standard error collects in $WORK/driver.err.
driver_open() {
  rm -f "$WORK/driver.in" "$WORK/driver.out"
  mkfifo "$WORK/driver.in" "$WORK/driver.out"
  "$BUILD/wine-run" "$DRIVER" run - <"$WORK/driver.in" >"$WORK/driver.out" 2>>"$WORK/driver.err" &
  DRIVER_PID=$!
  exec {DRIVER_IN}>"$WORK/driver.in" {DRIVER_OUT}<"$WORK/driver.out"
}

# One command, written in the driver's own quoting; its data lines go to standard output and its
# error to standard error. Returns 1 when the command failed, 2 when the driver did not answer.
# The whole answer is read before any of it is written: a reader that stops early (grep -q) may
# end this function, but never between the answer's lines, which would leave the rest of the
# answer to the next command.
drive_try() {
  printf '%s\n' "$1" >&"$DRIVER_IN"
  local line data=""
  while IFS= read -r -t "${DRIVE_ANSWER_SECONDS:-180}" line <&"$DRIVER_OUT"; do
    case $line in
      '| '*) data+="${line#| }"$'\n' ;;
      ok) printf '%s' "$data"; return 0 ;;
      'error: '*) printf '%s' "$data"; printf '%s\n' "${line#error: }" >&2; return 1 ;;
      *) printf 'ui-driver: %s\n' "$line" >&2 ;;
    esac
  done
  echo "ui-driver gave no answer to: $1" >&2
  return 2
}

# The same, ending the test when the command fails.
drive() {
  drive_try "$1" || fail "ui-driver: $1"
}

# Ends the driver (which ends a target it started that still runs) and waits for it.
driver_close() {
  drive_try quit >/dev/null
  exec {DRIVER_IN}>&- {DRIVER_OUT}<&-
  wait "$DRIVER_PID"
}

screenshot() {
  import -window root "$1" || fail "no screenshot of display $DISPLAY"
}
