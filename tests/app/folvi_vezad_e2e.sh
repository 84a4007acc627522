#!/usr/bin/env bash
# folvi-vezad under Wine, driven through its window as a user drives it: the relaunch from a
# limited token, a custom profile run to "Completed" with its list, graphs, saved
# report and Notepad view, the two kinds of cancel, and closing the window during a run. The
# test location is drive C: of the test prefix ($FOLVI_TEST_PREFIX, else the build's).
set -u
BUILD=$1 DRIVER=$2 VEZAD=$3
WORK="$BUILD/folvi-vezad-e2e"
rm -rf "$WORK" && mkdir -p "$WORK"
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tools/window_test_lib.sh"
. "$here/report_checks.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display (scripts/test starts one)"
vezad=$(windows_path "$VEZAD")
loc='C:\'
drive_c="${FOLVI_TEST_PREFIX:-$BUILD/wineprefix}/drive_c"
test_file="$drive_c/~folvi-benchmark.tmp"
title='"Cold-cache Sequential I/O Benchmark"'
load_resource_ids
STATUS=$IDC_MAIN_STATUS START=$IDC_MAIN_START LIST=$IDC_MAIN_RESULTS PRESETS=$IDC_MAIN_PRESETS CHANGE=$IDC_MAIN_CHANGE_PROFILE
SAVE_REPORT=$ID_SCREENGRAB_SAVE_REPORT VIEW_REPORT=$ID_SCREENGRAB_VIEW_REPORT
FILE_NAME=1152  # the common save dialog's file name box

# The share prompt follows a finished run when "AskForResults" allows it: allowed at the start.
"$BUILD/wine-run" reg delete 'HKCU\Software\FolviBench' /v AskForResults /f >/dev/null 2>&1

main_window() {
  drive "wait-window --title $title --timeout 60000" >/dev/null
}

# The scan done, the window ready.
ready() {
  main_window
  drive "wait-text $STATUS \"Ready to run\" --timeout 60000"
}

field() {  # CONTROL TEXT: typed as the user types it
  drive "set-text $1 \"\""
  drive "type $1 \"$2\""
}

# Dialog 106 through "Customize...": SIZES COUNTS FILE_SIZE RUN_TIME.
custom_profile() {
  drive "click $CHANGE"
  drive "choose $PRESETS \"Customize*\""
  drive 'wait-window --title "Test profile"' >/dev/null
  field $IDC_CONFIG_BUFFER_SIZES "$1"
  field $IDC_CONFIG_BUFFER_COUNTS "$2"
  field $IDC_CONFIG_MAX_FILE_SIZE "$3"
  field $IDC_CONFIG_MAX_RUN_TIME "$4"
  drive 'click 1'
  drive 'wait-gone'
  main_window
}

driver_open

# A limited token: the program starts itself again with the "runas" verb and ends with 60 without
# a window of its own. The copy it started is followed by its process. What the copy gets is Wine's
# choice: the full token (it shows the window, which is closed here and ends with 70) or the
# limited one again (it ends with 30, as a relaunched copy does that still lacks full rights).
drive "start --limited '$vezad'" >/dev/null
drive 'expect-exit 60 --timeout 30000'
copy=$(drive 'follow-child --timeout 30000')
[ "${copy#pid * }" = folvi-vezad.exe ] || fail "the relaunch started $copy"
outcome=$(drive "wait-window --title $title --or-exit --timeout 60000")
case $outcome in
  'window '*)
    echo "the elevated copy shows the window"
    drive "wait-text $STATUS \"Ready to run\" --timeout 60000"
    drive 'close'
    drive 'expect-exit 70 --timeout 30000'
    ;;
  'exit 30') echo "the copy got no full token from Wine and ended with 30" ;;
  *) fail "the relaunched copy neither showed the window nor ended with 30: $outcome" ;;
esac

# The run: with -d the log goes to a console, read at the end.
drive "start '$vezad' -d" >/dev/null
ready
drive "expect-text $IDC_MAIN_LOCATION '$loc'"
custom_profile "64K 1M" "1 4" "16M" "100 ms"
drive "click $START"
drive "wait-text $STATUS Completed --timeout 120000"
screenshot "$WORK/completed.png"
[ -e "$test_file" ] && fail "the test file is left after the run"
# One row per planned test, then the best-rate block (how the list and the graphs show them is the
# window tests').
drive "rows $LIST" >"$WORK/rows"
[ "$(grep -c 'MBps' "$WORK/rows")" -eq 22 ] || fail "the list holds $(grep -c MBps "$WORK/rows") rates, not 20 + 2"

# Saved through the save dialog.
drive "command $SAVE_REPORT"
drive 'wait-window --title "Save report as..."' >/dev/null
drive "set-text $FILE_NAME '$(windows_path "$WORK/saved.folvi.txt")'"
drive 'click 1'
drive 'wait-gone'
main_window
for i in $(seq 1 50); do [ -s "$WORK/saved.folvi.txt" ] && break; sleep 0.2; done
check_report "$WORK/saved.folvi.txt" 12 8

# Viewed in Notepad from a temporary file, which goes when Notepad closes. Its font and word wrap
# are changed only until Notepad has read them: they are back while it still shows the report.
# (Notepad writes its own on closing.)
notepad_key='HKCU\Software\Microsoft\Notepad'
"$BUILD/wine-run" reg add "$notepad_key" /v fWrap /t REG_DWORD /d 1 /f >/dev/null 2>&1
"$BUILD/wine-run" reg add "$notepad_key" /v lfFaceName /d Tahoma /f >/dev/null 2>&1
notepad_settings() { "$BUILD/wine-run" reg query "$notepad_key" 2>/dev/null | tr -d '\r' | grep -E ' (fWrap|lfFaceName) ' | sort; }
notepad_settings >"$WORK/notepad-before"
grep -q Tahoma "$WORK/notepad-before" || fail "Notepad's settings could not be set up"
temp="$drive_c/users/$(id -un)/Temp"  # %TEMP% of a Wine prefix
ls "$temp" >"$WORK/temp-before" 2>/dev/null
drive "command $VIEW_REPORT"
for i in $(seq 1 100); do
  viewed=$(ls "$temp" 2>/dev/null | grep -vxF -f "$WORK/temp-before" | grep '^folvi-report-.*\.txt$' | head -n 1)
  [ -n "$viewed" ] && break
  sleep 0.2
done
[ -n "$viewed" ] || fail "no temporary report in $temp"
[ "$(head -c 3 "$temp/$viewed" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the viewed report lacks the byte-order mark"
drive "wait-window --any-process --title \"$viewed - Notepad\" --timeout 30000" >/dev/null
for i in $(seq 1 50); do notepad_settings | cmp -s - "$WORK/notepad-before" && break; sleep 0.2; done
notepad_settings | cmp -s - "$WORK/notepad-before" || fail "Notepad's settings were not restored"
drive 'close'
drive 'wait-gone'
for i in $(seq 1 100); do [ -e "$temp/$viewed" ] || break; sleep 0.2; done
[ -e "$temp/$viewed" ] && fail "the temporary report outlived Notepad"
main_window

# OK, then a run of 48 reads and 32 writes of small requests on a larger file, each up to 2
# seconds, far longer than the clicks take: a plain cancel ends the read phase, Ctrl+Cancel the run.
drive "click $START"
drive "wait-text $STATUS \"Ready to run\""
custom_profile "4K 8K 16K 32K" "1 2 4 8" "256M" "2 sec"
drive "click $START"
drive "wait-text $STATUS \"Running read tests*\" --timeout 60000"
drive "click $START"
drive "wait-text $STATUS \"Running write tests*\" --timeout 30000"
drive "activate"
drive "click --ctrl $START"
drive "wait-text $STATUS Cancelled --timeout 30000"
drive "rows $LIST" >"$WORK/cancelled-rows"
reads=$(sed -n '/^# Read test/,/^# Write test/p' "$WORK/cancelled-rows" | grep -c MBps)
((reads < 48)) || fail "the plain cancel did not end the read phase ($reads reads)"
[ -e "$test_file" ] && fail "the test file is left after a cancelled run"

# Closing during a run: the run stops, the window waits for it, no test file is left. A finished
# run was shown, so the share prompt comes: declined.
drive "click $START"
drive "wait-text $STATUS \"Ready to run\""
drive "click $START"
drive "wait-text $STATUS \"Running read tests*\" --timeout 60000"
drive 'close'
drive 'wait-window --title "FOLVI Vezad" --timeout 30000' >/dev/null
drive 'click 2'
drive 'wait-console "Press Enter to exit..." --timeout 30000'
[ -e "$test_file" ] && fail "the test file is left after closing during a run"
drive 'console' >"$WORK/console"
grep -q 'Preparing test file' "$WORK/console" || grep -q '[Tt]est' "$WORK/console" || fail "the console shows no log"
drive 'console-type "\n"'
drive 'expect-exit 70'
driver_close

rm -f "$WORK"/*.fifo
echo "folvi-vezad end to end: passed"
