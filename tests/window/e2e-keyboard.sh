#!/usr/bin/env bash
# End-to-end with a real keyboard: kem.exe under Wine on a virtual display,
# typed at with xdotool (X key events through Wine into the program) and read
# by a separate probe process.
# Usage: e2e-keyboard.sh kem.exe kemprobe.exe launcher-dir
set -euo pipefail
KEM_EXE=$1 KEM_PROBE=$2 KEM_LAUNCHER_DIR=$3
source "$(dirname "$0")/e2e-lib.sh"

echo "--- typing an item with Tab and Enter, Shift+Tab, Alt letters, Escape"
start_kem
focus_kem_window
xdotool key --delay 20 2 Tab 1 Tab 3 Tab 2 Return
wait_for_texts "typed 2 1 3 2" "110 2
111 1
112 3
113 2
1008 \$48.00  
1009 \$24.00  
1010 50.00%
1011 1.50  
1012 \$1.50  
1013 >1000.00%"
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
expect_launch "Alt+W" "start http://www.varnok.example/kem.htm"
xdotool key alt+f
wait_for_texts "Alt+F" "$zero_state"
xdotool key Escape
expect_exit_zero "Escape"

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
