#!/usr/bin/env bash
# End-to-end: the built kem.exe under Wine on a virtual display, read by a
# separate probe process and driven with the real mouse, the close request
# and posted commands. Usage: e2e-window.sh kem.exe kemprobe.exe launcher-dir
set -euo pipefail
KEM_EXE=$1 KEM_PROBE=$2 KEM_LAUNCHER_DIR=$3
source "$(dirname "$0")/e2e-lib.sh"

echo "--- start-up state, command line ignored, Quit button clicked"
start_kem --ignored "/x y" 12
wait_for_texts "start-up" "$zero_state"
wait_for_focus "start-up" 110
controls=$(probe layout | wc -l)
[ "$controls" -eq 26 ] || fail "start-up: $controls controls, expected 26"
click_control 1
expect_exit_zero "Quit button"

echo "--- Recalculate and Website clicked, Online Help, then the close request"
start_kem
probe settext 110 '$10'
probe settext 111 '$8'
probe settext 112 50
probe settext 113 5
click_control 1000
wait_for_texts "recalculated" "110 \$10
111 \$8
112 50
113 5
1008 \$600.00  
1009 \$120.00  
1010 20.00%
1011 10.00  
1012 \$200.00  
1013            60.00%"
wait_for_focus "after Recalculate" 110
[ "$(probe selection 110)" = "0 3" ] || fail "price text not selected after Recalculate"
click_control 1015
expect_launch "Website button" website
probe command 103
expect_launch "Online Help" help
probe command 102
wait_for_texts "cleared" "$zero_state"
probe close
expect_exit_zero "close request"

echo "--- command 2"
start_kem
probe command 2
expect_exit_zero "command 2"

finish
