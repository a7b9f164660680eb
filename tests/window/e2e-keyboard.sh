#!/usr/bin/env bash
# End-to-end with a real keyboard: kem.exe under Wine on a virtual display,
# typed at with xdotool (X key events through Wine into the program) and read
# by a separate probe process, which also reads the screen's pixels.
# Usage: e2e-keyboard.sh kem.exe kemprobe.exe launcher-dir
set -euo pipefail
KEM_EXE=$1 KEM_PROBE=$2 KEM_LAUNCHER_DIR=$3
source "$(dirname "$0")/e2e-lib.sh"

# The first example item, 2 1 3 2, typed with Tab between the figures.
first_item="110 2
111 1
112 3
113 2
1008 \$48.00  
1009 \$24.00  
1010 50.00%
1011 1.50  
1012 \$1.50  
1013 >1000.00%"

echo "--- typing an item with Tab and Enter, Shift+Tab, Alt letters, Escape"
start_kem
focus_kem_window
xdotool key --delay 20 2 Tab 1 Tab 3 Tab 2 Return
wait_for_texts "typed 2 1 3 2" "$first_item"
wait_for_focus "after Enter" 110
[ "$(probe selection 110)" = "0 1" ] || fail "price text not selected after Enter"

# Held like a user holds it: the program reads Shift's state when Tab arrives.
xdotool keydown shift
xdotool key Tab
wait_for_focus "Shift+Tab from price" 1
xdotool keyup shift
xdotool key Tab
wait_for_focus "Tab from Quit" 110

xdotool key alt+c
wait_for_focus "Alt+C" 111
[ "$(probe selection 111)" = "0 1" ] || fail "cost text not selected after Alt+C"
xdotool key --delay 20 BackSpace 4 alt+r
wait_for_texts "cost 4, Alt+R" "110 2
111 4
112 3
113 2
1008 \$48.00  
1009 \$-48.00  
1010 -100.00%
1011 1.50  
1012 \$6.00  
1013 Negative"
xdotool key alt+w
expect_launch "Alt+W" website
xdotool key alt+f
wait_for_texts "Alt+F" "$zero_state"

# The pushed look of Alt+R must reach the screen for its 100 ms, not only
# the button's state: the probe reads the button's pixels back from the
# display while the key is pressed.
echo "--- Alt+R's flash, read from the screen"
flash=$kem_scratch/flash
probe flash 1000 5000 >"$flash" &
flash_pid=$!
flash_ready() { grep -q '^ready' "$flash"; }
poll_until 15 flash_ready || fail "the flash probe did not start"
xdotool key alt+r
wait "$flash_pid" || fail "the flash probe failed"
pushed=$(sed -n 's/^pushed //p' "$flash")
echo "Recalculate drawn pushed for ${pushed:-?} ms"
# The look is put on the screen before the 100 ms wait and taken off after
# it; reading the screen takes a few milliseconds, and a loaded machine may
# start the probe's reading late, hence the margin below 100.
if [ -z "$pushed" ] || [ "$pushed" -lt 50 ] || [ "$pushed" -gt 1000 ]; then
    fail "Alt+R: the pushed Recalculate button was on the screen for ${pushed:-no} ms, expected about 100"
fi

xdotool key Escape
expect_exit_zero "Escape"

echo "--- started minimized, restored from the system menu, then typed at"
start_kem_minimized
focus_kem_window
xdotool key alt+space
probe popup >/dev/null || fail "no system menu"
xdotool key r
wait_for_focus "restored" 110
xdotool keydown shift
xdotool key Tab
wait_for_focus "Shift+Tab after the restore" 1
xdotool keyup shift
xdotool key Tab
wait_for_focus "Tab after the restore" 110
xdotool key --delay 20 2 Tab 1 Tab 3 Tab 2 Return
wait_for_texts "typed after a minimized start" "$first_item"
xdotool key Escape
expect_exit_zero "Escape after a minimized start"

echo "--- Alt+F4"
start_kem
focus_kem_window
xdotool key alt+F4
expect_exit_zero "Alt+F4"

echo "--- Alt+Q"
start_kem
focus_kem_window
xdotool key alt+q
expect_exit_zero "Alt+Q"

finish
