#!/usr/bin/env bash
# The diagnostic console of a windowed program under Wine: ui-driver reads what it printed, sees
# it wait at "Press Enter to exit...", types Enter and sees it end with its code.
set -u
BUILD=$1 DRIVER=$2 PROBE=$3
WORK="$BUILD/console-e2e"
rm -rf "$WORK" && mkdir -p "$WORK"
. "$(dirname "$0")/../tools/window_test_lib.sh"

driver_open
drive "start '$(windows_path "$PROBE")'" >/dev/null
drive 'wait-console "Press Enter to exit..."'
drive 'console' >"$WORK/console"
printf '%s\n' "3 Console probe: attached" \
  "0 ProbeCall() failed with 5, d$(printf '\xc3\xa9')tail" \
  "0 ProbeHresult() failed with 80070005" \
  "  banner line" \
  "" \
  "Press Enter to exit..." >"$WORK/expected"
cmp -s "$WORK/console" "$WORK/expected" || fail "console text: $(cat "$WORK/console")"
# The wait really waits: the program is still there after its console has been read in full.
drive 'expect-running'
drive 'console-type "\n"'
drive 'expect-exit 70'
driver_close

rm -rf "$WORK"
echo "console end to end: passed"
