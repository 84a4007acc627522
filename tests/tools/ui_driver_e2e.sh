#!/usr/bin/env bash
# ui-driver end to end under Wine: a probe window driven control by control, checked by reading
# and by the colours of a screenshot; a limited token; scripts with errors.
set -u
BUILD=$1 DRIVER=$2 PROBE=$3
WORK="$BUILD/ui-driver-e2e"
rm -rf "$WORK" && mkdir -p "$WORK"
. "$(dirname "$0")/window_test_lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display (scripts/test starts one)"
probe=$(windows_path "$PROBE")

driver_open
# An answer whose reader has gone (a pipe with no reader left) leaves the conversation in step:
# the next command still gets its own answer.
mkfifo "$WORK/gone.fifo"
exec {gone_r}<>"$WORK/gone.fifo" {gone_w}>"$WORK/gone.fifo"
exec {gone_r}<&-
(drive 'echo one') >&"$gone_w" 2>/dev/null
exec {gone_w}>&-
[ "$(drive 'echo two')" = two ] || fail "an answer that nobody read was left to the next command"
drive "start '$probe'" >/dev/null
[ "$(drive 'wait-window --title "Harness probe"')" = "$(drive 'wait-window --class FolviHarness*')" ] ||
  fail "the probe is not found the same by title and by class"
[ "$(drive 'text 108')" = "Token: full" ] || fail "started without the full token"

# Controls found by id: texts, typing, clicks, states.
drive 'expect-text 100 Ready'
drive 'type 101 "hello world"'
drive 'click --ctrl 102'
drive 'wait-text 100 "Applied: hello world with Ctrl"'
drive 'click 102'
drive 'wait-text 100 "Applied: hello world"'
[ "$(drive 'state 103')" = "visible enabled unchecked" ] || fail "check box state: $(drive 'state 103')"
drive 'click 103'
drive 'wait-state 103 checked'
[ "$(drive 'state 102')" = "visible enabled" ] || fail "a push button has no check state"
drive_try 'click 106' 2>"$WORK/err" && fail "a disabled button was clicked"
[ "$(cat "$WORK/err")" = "the control is disabled" ] || fail "disabled click: $(cat "$WORK/err")"
drive_try 'text 999' 2>"$WORK/err" && fail "a missing control answered"
grep -q '^no control 999 in window 0x[0-9A-F]\{8\} FolviHarnessProbe "Harness probe"$' "$WORK/err" ||
  fail "missing control: $(cat "$WORK/err")"

# Combo box items and selections as the user makes them; list-view rows across the process.
[ "$(drive 'items 104' | paste -sd,)" = "Quick,Standard,Extended" ] || fail "combo items: $(drive 'items 104')"
[ "$(drive 'text 104')" = "Standard" ] || fail "combo selection"
drive 'select 104 Ext*'
drive 'wait-text 100 "Profile: Extended"'
drive 'select-index 104 0'
drive 'wait-text 100 "Profile: Quick"'
drive_try 'select 104 Nothing*' >/dev/null 2>&1 && fail "a missing item was selected"
printf '4 KiB\t12.5\n1 MiB\t950.0\nGr\xc3\xb6\xc3\x9fe\ttab\\there\n' >"$WORK/rows.expected"
drive 'rows 105' >"$WORK/rows"
cmp -s "$WORK/rows" "$WORK/rows.expected" || fail "list view rows: $(cat "$WORK/rows")"

# Commands, keys to the focused control, and a second window.
drive 'command 200'
drive 'wait-text 100 "Command 200"'
drive 'key Enter'
drive 'wait-text 100 "OK pressed"'
drive 'command 201'
drive 'wait-window --title "Second window"' >/dev/null
drive 'close'
drive 'wait-gone'
drive 'wait-window --title "Harness probe"' >/dev/null

# Colours from the X server: the window's background and the red panel, inside their rectangles.
client=$(drive 'client-rect') || exit 1
panel=$(drive 'rect 107') || exit 1
screenshot "$WORK/probe.png"
expect_region_colour "$WORK/probe.png" "$(inset_region "$panel" 2)" FF0000
read -r px py pw ph <<<"$panel"
expect_region_colour "$WORK/probe.png" "$((px + pw + 4)) $py 20 $ph" 2080C0
read -r cx cy cw ch <<<"$client"
expect_region_colour "$WORK/probe.png" "$((cx + cw - 30)) $((cy + ch - 30)) 20 20" 2080C0
[ "$(region_colour "$WORK/probe.png" "$panel")" = FF0000 ] || fail "panel mean colour"

# Esc goes to the focused control; the probe ends with 2.
drive 'key Esc'
[ "$(drive 'wait-exit')" = "exit 2" ] || fail "Esc did not end the probe with 2"
drive_try 'text 100' 2>"$WORK/err" && fail "a control of an ended program answered"
[ "$(cat "$WORK/err")" = "the current window is gone" ] || fail "gone window: $(cat "$WORK/err")"

# The limited half of the token; the close box ends the probe with 3.
drive "start --limited '$probe'" >/dev/null
drive 'wait-window --title "Harness probe"' >/dev/null
drive 'expect-text 108 "Token: limited"'
drive 'close'
drive 'expect-exit 3'

# A process that the target starts, followed by its process, not by any window with its title (a
# probe started here shows one): ended at once with its code kept, or showing its own window.
"$BUILD/wine-run" "$PROBE" &
decoy=$!
drive 'wait-window --any-process --title "Harness probe"' >/dev/null
drive "start '$probe' --start-copy --exit 30" >/dev/null
drive 'expect-exit 60'
drive 'follow-child' | grep -qx 'pid [0-9]* window_probe\.exe' || fail "follow-child does not name the copy"
outcome=$(drive 'wait-window --title "Harness probe" --or-exit')
[ "$outcome" = "exit 30" ] || fail "the copy that ended with 30 gave: $outcome"
drive_try 'follow-child --timeout 300' 2>"$WORK/err" && fail "a process that started nothing had a child"
grep -qx 'the target (pid [0-9]*) started no process within 300 ms' "$WORK/err" || fail "no child: $(cat "$WORK/err")"
drive "start '$probe' --start-copy" >/dev/null
drive 'expect-exit 60'
drive 'follow-child' >/dev/null
drive 'wait-window --title "Harness probe" --or-exit' | grep -q '^window ' || fail "the copy's window was not found"
drive 'expect-text 108 "Token: full"'
drive 'close'
drive 'expect-exit 3'
drive 'wait-window --any-process --title "Harness probe"' >/dev/null
drive 'close'
wait "$decoy"
rc=$?
[ $rc -eq 3 ] || fail "the probe started here ended with $rc"
driver_close

# A script file: every line checked first, then run until the first failure.
cat >"$WORK/bad.txt" <<'SCRIPT'
# comment
click
bogus 1
wait-window --titel x
text "unterminated
timeout 12x
SCRIPT
"$BUILD/wine-run" "$DRIVER" run "$(windows_path "$WORK/bad.txt")" >"$WORK/out" 2>"$WORK/err"
rc=$?
[ $rc -eq 2 ] || fail "a script with errors exited $rc"
bad=$(windows_path "$WORK/bad.txt")
printf '%s\n' "ui-driver: $bad:2: usage: click [--ctrl] CONTROL" "ui-driver: $bad:3: unknown command \"bogus\"" \
  "ui-driver: $bad:4: unknown option --titel; usage: wait-window [--title PATTERN] [--class PATTERN] [--any-process] [--or-exit] [--timeout MS]" \
  "ui-driver: $bad:5: unterminated quote" >"$WORK/err.expected"
cmp -s "$WORK/err" "$WORK/err.expected" || fail "script errors: $(cat "$WORK/err")"
[ -s "$WORK/out" ] && fail "a script with errors ran"

cat >"$WORK/fails.txt" <<SCRIPT
start '$probe'
wait-window --title "Harness probe"
wait-window --title "No such window" --timeout 300
echo not reached
SCRIPT
"$BUILD/wine-run" "$DRIVER" run "$(windows_path "$WORK/fails.txt")" >"$WORK/out" 2>"$WORK/err"
rc=$?
[ $rc -eq 1 ] || fail "a failing script exited $rc"
grep -q '^ui-driver: .*fails.txt:3: wait-window --title "No such window" --timeout 300: no visible window titled "No such window" in process [0-9]* within 300 ms$' "$WORK/err" ||
  fail "timeout message: $(cat "$WORK/err")"
grep -q '^ui-driver: ended the target (pid [0-9]*), which was still running$' "$WORK/err" ||
  fail "the started probe was left running"
grep -q '^| seen 0x[0-9A-F]* FolviHarnessProbe "Harness probe"$' "$WORK/out" || fail "the timeout does not show what it saw"
grep -q 'not reached' "$WORK/out" && fail "the script went on after a failure"

"$BUILD/wine-run" "$DRIVER" run "$(windows_path "$WORK/missing.txt")" >/dev/null 2>&1
rc=$?
[ $rc -eq 3 ] || fail "a missing script exited $rc"

rm -rf "$WORK"
echo "ui-driver end to end: passed"
