#!/usr/bin/env bash
# folvi-vezad --replay under Wine: the window shows a recorded machine (a RAID 1 array, an NVMe
# drive and a USB disk) in its location box and summary lines (each volume's lines are the
# recording's .facts.txt), and refuses a damaged recording before any window with the line and
# why on the console, exit 10.
set -u
BUILD=$1 DRIVER=$2 VEZAD=$3 DATA=$4
WORK="$BUILD/folvi-vezad-replay"
rm -rf "$WORK" && mkdir -p "$WORK"
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tools/window_test_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display (scripts/test starts one)"
vezad=$(windows_path "$VEZAD")
title='"Cold-cache Sequential I/O Benchmark"'
load_resource_ids
STATUS=$IDC_MAIN_STATUS LOCATION=$IDC_MAIN_LOCATION

driver_open

sed '2s/format 1/format 7/' "$DATA/desktop.txt" >"$WORK/damaged.txt"
drive "start '$vezad' --replay '$(windows_path "$WORK/damaged.txt")'" >/dev/null
drive 'wait-console "Press Enter to exit..."'
# The console wraps its 80 columns anywhere, and a row read back loses the space it ended with:
# the text is checked joined, without spaces.
drive 'console' | tr -d '\n ' | grep -q '^0Error:--replay:.*damaged.txt:line2:format7isnotknown;thisprogramreadsformat1' \
  || { drive 'console'; fail "the console does not say why the recording is refused"; }
drive 'console-type "\n"'
drive 'expect-exit 10'

if [ "${FOLVI_TARGET_ARCH:-i686}" != i686 ]; then
  # The recorded machines are of the 32-bit program, which a 64-bit twin refuses.
  echo "folvi-vezad replay: the refusal passed; the recorded machine is left to 32-bit builds"
  exit 0
fi
drive "start '$vezad' --replay '$(windows_path "$DATA/desktop.txt")'" >/dev/null
drive "wait-window --title $title --timeout 60000" >/dev/null
drive "wait-text $STATUS \"Ready to run\" --timeout 60000"
drive "items $LOCATION" >"$WORK/items"
# ui-driver writes a backslash as two.
printf '%s\n' 'C:\\' 'U:\\' | diff - "$WORK/items" || fail "the location box does not list the recorded volumes"
drive "expect-text $IDC_MAIN_VOLUME 1A2B-3C4D"
drive "choose $LOCATION 'U:*'"
drive "wait-text $IDC_MAIN_VOLUME 5E6F-7081"
screenshot "$WORK/replay.png"
drive 'close'
drive 'expect-exit 70 --timeout 30000'
driver_close 2>/dev/null || true
echo "folvi-vezad replay: passed"
