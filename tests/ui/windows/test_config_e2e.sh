#!/usr/bin/env bash
# Dialog 106 in the preview program, driven by ui-driver as a user drives it: the presets and
# their summaries, an edit that continues as Custom, invalid fields, the attention OK draws (a red
# frame in a screenshot), "No tests selected", Cancel and OK.
set -u
BUILD=$1 DRIVER=$2 PREVIEW=$3
WORK="$BUILD/test-config-e2e"
rm -rf "$WORK" && mkdir -p "$WORK"
. "$(dirname "$0")/../../tools/window_test_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display (scripts/test starts one)"
preview=$(windows_path "$PREVIEW")

# The five summary texts: tests reading and writing, durations reading and writing, total.
expect_summary() {
  local id=1101 text
  for text in "$@"; do
    drive "wait-text $id \"$text\""
    id=$((id + 1))
  done
}

# Replaces a field's text as typing does: emptied, then one character at a time.
retype() {
  drive "set-text $1 \"\""
  drive "type $1 \"$2\""
}

driver_open
drive "start '$preview' profile" >/dev/null
drive 'wait-window --title "Test profile"' >/dev/null

# Custom starts as Extended; the presets show their own values.
drive 'expect-text 1106 Custom'
expect_summary 375 250 06:15 04:10 10:25
drive 'expect-state 1106 focused'
drive 'select 1106 Standard'
expect_summary 171 114 02:51 01:54 04:45
drive 'expect-text 1109 "8K 16K 32K 64K 128K 256K 512K 1M 2M 4M 8M 16M "'
drive 'expect-text 1095 "1 2 4 8 16 "'
drive 'expect-text 1096 64M'
drive 'expect-text 1098 "1 sec"'
drive 'expect-text 1107 4G'
drive 'expect-text 1108 10'
drive 'select 1106 Quick'
expect_summary 68 68 00:17 00:17 00:34
drive 'expect-state 1081 checked'
drive 'expect-state 1132 checked'
drive 'expect-state 1083 unchecked'
drive 'select 1106 Extended'
expect_summary 375 250 06:15 04:10 10:25

# One character typed while Quick is shown: Custom, with Quick's values and the change.
drive 'select 1106 Quick'
drive 'wait-text 1101 68'
drive 'type 1095 6'
drive 'wait-text 1106 Custom'
drive 'expect-text 1095 "61 4 8 16 32 "'
drive 'expect-text 1109 "8K 64K 128K 256K 512K 1M 4M "'
# 61 and 32 buffers of 4M exceed the 64M memory cap: 33 combinations per mode.
expect_summary 66 66 "~ 00:16" "~ 00:16" 00:33

# A run time without its unit: every summary text a dash, and OK leaves the dialog open with
# the field focused in a red frame.
retype 1098 500
expect_summary - - - - -
drive 'click 1'
drive 'wait-state 1098 focused'
drive 'expect-text . "Test profile"'
field=$(drive 'rect 1098') || exit 1
read -r fx fy fw fh <<<"$field"
screenshot "$WORK/attention.png"
expect_region_colour "$WORK/attention.png" "$fx $fy $fw 1" D03030
expect_region_colour "$WORK/attention.png" "$fx $((fy + fh - 1)) $fw 1" D03030

# 250 ms with one read test and no write test.
retype 1098 "250 ms"
retype 1109 64k
retype 1095 1
for box in 1132 1082 1084; do drive "click $box"; done
drive 'wait-state 1084 unchecked'
expect_summary 1 0 "0.25 sec" - "0.25 sec"
screenshot "$WORK/valid.png"
[ "$(region_colour "$WORK/valid.png" "$fx $fy $fw 1")" != D03030 ] || fail "the red frame stayed on a valid field"

# A file size of 0 is invalid; a memory cap of 0 means no cap.
retype 1107 0
expect_summary - - - - -
retype 1096 0
retype 1107 1G
expect_summary 1 0 "0.25 sec" - "0.25 sec"

# No mode left: OK says so and the dialog stays.
drive 'click 1081'
expect_summary 0 0 - - -
drive 'click 1'
drive 'wait-window --title "Test configuration"' >/dev/null
drive 'expect-text 1011 "No tests selected"'
drive 'click 1'
drive 'wait-gone'
drive 'wait-window --title "Test profile"' >/dev/null
drive 'expect-running'

# Cancel ends with 2; a valid profile and OK with 1.
drive 'click 2'
drive 'expect-exit 2'
drive "start '$preview' profile" >/dev/null
drive 'wait-window --title "Test profile"' >/dev/null
drive 'select 1106 Standard'
drive 'wait-text 1101 171'
drive 'click 1'
drive 'expect-exit 1'
driver_close

rm -rf "$WORK"
echo "test profile dialog end to end: passed"
