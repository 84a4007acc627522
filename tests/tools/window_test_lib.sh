# Sourced by tests that drive windows: ui-driver as a long-lived helper, screenshots from the X
# server, and colour checks of screen regions. The sourcing test sets BUILD (the build folder),
# DRIVER (ui-driver.exe) and WORK (an empty scratch folder of its own).

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

# "X Y W H" shrunk by N pixels on every side, to keep borders and edges out of a colour check.
inset_region() {
  local x y w h
  read -r x y w h <<<"$1"
  echo "$((x + $2)) $((y + $2)) $((w - 2 * $2)) $((h - 2 * $2))"
}

# The mean colour of region "X Y W H" of an image, as RRGGBB.
region_colour() {
  local x y w h
  read -r x y w h <<<"$2"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -scale '1x1!' -format '%[hex:u.p{0,0}]' info: | cut -c1-6
}

# Fails unless every pixel of region "X Y W H" is within TOLERANCE (0 to 255 per channel, default
# 0) of colour RRGGBB.
expect_region_colour() {
  local image=$1 region=$2 colour=$3 tolerance=${4:-0} x y w h width height worst
  read -r x y w h <<<"$region"
  read -r width height < <(identify -format '%w %h\n' "$image")
  ((w > 0 && h > 0 && x >= 0 && y >= 0 && x + w <= width && y + h <= height)) ||
    fail "region $region is not inside the ${width}x${height} screenshot"
  worst=$(convert "$image" -crop "${w}x${h}+${x}+${y}" +repage \( +clone -fill "#$colour" -colorize 100 \) \
    -compose difference -composite -separate -evaluate-sequence max -format '%[fx:round(maxima*255)]' info:)
  ((worst <= tolerance)) ||
    fail "region $region is not $colour (mean $(region_colour "$image" "$region"), a pixel off by $worst)"
}
