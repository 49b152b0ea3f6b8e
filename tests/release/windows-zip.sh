#!/usr/bin/env bash
# The Windows zip as a user gets it:
#   windows-zip.sh ZIP
# unpacked into a folder of its own and run under Wine from a fresh prefix:
# zelk-tunnel.exe shows the warning box, then after OK the textured tunnel
# with the rate in its title, and closing the window ends it with 0; then
# "Zelk tunnel.scr" /s, started from another folder as Windows starts
# savers, fills the screen with the textured tunnel, and a key ends it with 0.
set -euo pipefail
zip=$(realpath "$1")
scenario=windows-zip

# shellcheck source-path=SCRIPTDIR source=../e2e/xvfb-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../e2e/xvfb-lib.sh"
show_on_failure "$work/wine.log" "Wine's output" 30
export WINEPREFIX=$work/prefix WINEDLLOVERRIDES="mscoree,mshtml="

stop_program() {
  end_program
  WINEDEBUG=-all wineserver --kill 2>/dev/null || true
}

# Starts a program of the folder, from the folder given first.
start_from() {
  local folder=$1
  shift
  (cd "$folder" && exec env WINEDEBUG=-all,+msgbox wine "$@") >"$work/stdout" 2>"$work/wine.log" &
  program_pid=$!
}

# A visible window whose name matches, at least (or under) a width.
window_named() {
  local pattern=$1 test=$2 id WIDTH HEIGHT X Y SCREEN WINDOW
  for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    if ((WIDTH $test)); then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# "colour" when some pixel of the window has unequal channels.
colour_of() {
  import -silent -window "$1" rgb:"$work/shot.rgb" 2>/dev/null || return 1
  od -An -v -tu1 -w3 "$work/shot.rgb" |
    awk '$1 != $2 || $2 != $3 { colour = 1; exit } END { print colour ? "colour" : "grey" }'
}

folder="$work/Downloads/Zelk tunnel"
mkdir -p "$folder" "$work/elsewhere"
unzip -q "$zip" -d "$folder"
note "unpacked: $(cd "$folder" && ls | tr '\n' ' ')"
WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || fail "wineboot failed"
WINEDEBUG=-all wineserver --wait || true
start_display

start_from "$folder" zelk-tunnel.exe
wait_until 60 eval 'box=$(window_named "^${title}\$" "< 500")' || fail "no warning box"
wait_until 10 grep -q 'MSGBOX_OnInit L"Warning: watching this effect' "$work/wine.log" ||
  fail "the box does not show the warning"
note "warning box up"
xdotool windowfocus "$box" 2>/dev/null || true
sleep 0.2
xdotool key Return
wait_until 60 eval 'main=$(window_named "^${title}" ">= 500")' || fail "no effect window after OK"
rate_pattern_seen() { [[ $(xdotool getwindowname "$main" 2>/dev/null) =~ $rate_pattern ]]; }
wait_until 20 rate_pattern_seen || fail "no rate in the title: $(xdotool getwindowname "$main")"
[[ $(colour_of "$main") == colour ]] || fail "the tunnel is grey: the zip's Demo.jpg was not found"
note "effect window: \"$(xdotool getwindowname "$main")\", textured"
xdotool windowfocus "$main" 2>/dev/null || true
sleep 0.2
xdotool key alt+F4
expect_exit_0 20

start_from "$work/elsewhere" "$folder/Zelk tunnel.scr" /s
wait_until 60 eval 'main=$(window_named "^${title}" ">= 1024")' || fail "no full-screen saver window"
sleep 1
[[ $(colour_of root) == colour ]] || fail "the saver shows no textured tunnel"
! grep -q 'MSGBOX_OnInit' "$work/wine.log" || fail "the saver showed a box"
note "the saver fills the screen with the textured tunnel"
xdotool windowfocus "$main" 2>/dev/null || true
sleep 0.2
xdotool key x
expect_exit_0 10
echo "PASS ($scenario)"
