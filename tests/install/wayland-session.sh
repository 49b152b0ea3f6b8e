#!/usr/bin/env bash
# The installed program on a Wayland session with no X server for it:
#   wayland-session.sh PROGRAM ARTIFACT-DIR
# An Xvfb holds weston's X11 backend, which is the session's only screen;
# the program starts with DISPLAY unset and WAYLAND_DISPLAY naming weston.
# What it shows is read from the Xvfb's screen: the warning box's text (by
# OCR; SDL shows the box through zenity), then after Return the tunnel in a
# window whose title bar, drawn by libdecor's plugin on the client side,
# reads the frame rate (by OCR: without the plugin there is no title bar and
# no title anywhere on screen), its picture in colour and moving. Escape
# ends it with exit code 0.
set -euo pipefail
program=$1
artifacts=$2
scenario=wayland-session
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")

# shellcheck source-path=SCRIPTDIR source=../e2e/xvfb-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../e2e/xvfb-lib.sh"
show_on_failure "$work/program.log" "the program's output" 30
weston_pid=

stop_program() {
  end_program -KILL -- "-$program_pid"
  if [[ -n $weston_pid ]]; then
    kill "$weston_pid" 2>/dev/null || true
    wait "$weston_pid" 2>/dev/null || true
  fi
}

# The screen as a PNG, and the text on it. Tesseract's page layout (psm 3)
# reads the box whole; the sparse one (psm 11) finds the white title on the
# dark bar among the tunnel's pixels.
screen_text() {
  import -silent -window root "$work/screen.png" 2>/dev/null || return 1
  tesseract "$work/screen.png" - --psm "$1" 2>/dev/null >"$work/screen.txt"
}

# shows_line PSM PATTERN
shows_line() { screen_text "$1" && grep -Eq "$2" "$work/screen.txt"; }

# The mean saturation of a part of the last screenshot (WxH+X+Y).
saturation() {
  convert "$work/screen.png" -crop "$1" +repage -colorspace HSL -channel G -separate \
    -format '%[fx:mean]' info:
}

start_display
mkdir -m 700 "$work/runtime" "$work/home"
export XDG_RUNTIME_DIR=$work/runtime
socket=zelk-wayland-$$
weston --backend=x11-backend.so --socket="$socket" --width=1000 --height=740 --idle-time=0 \
  >"$work/weston.log" 2>&1 &
weston_pid=$!
wait_until 20 test -S "$XDG_RUNTIME_DIR/$socket" || { cat "$work/weston.log" >&2; fail "weston did not start"; }
note "weston on $DISPLAY, socket $socket"

(cd "$work/home" && exec env -u DISPLAY WAYLAND_DISPLAY="$socket" HOME="$work/home" setsid "$program") \
  >"$work/program.log" 2>&1 &
program_pid=$!

wait_until 30 shows_line 3 'harm your mental sanity' || {
  cp "$work/screen.png" "$artifacts/no-box.png"
  fail "no warning box on screen (artifacts/no-box.png)"
}
for line in "^Zelk's little tunnel" 'reject any responsability for it' 'ESC : stop it before being totally hypnotised'; do
  grep -Eq "$line" "$work/screen.txt" || fail "the box does not read \"$line\""
done
cp "$work/screen.png" "$artifacts/box.png"
note "warning box on screen, its caption and text read back"

# Weston passes the Xvfb's keys to the focused client: the box's OK button.
xdotool key Return
rate_title="^Zelk's little tunnel - [0-9.]+ fps \\([0-9]+ tri\\)"
wait_until 30 shows_line 11 "$rate_title" || {
  cp "$work/screen.png" "$artifacts/no-title.png"
  fail "no title bar with the rate on screen (artifacts/no-title.png)"
}
note "title bar reads: $(grep -Em 1 "$rate_title" "$work/screen.txt")"
! grep -q 'harm your mental sanity' "$work/screen.txt" || fail "the box is still on screen"

# The picture: under the title bar, where the word boxes put its first word.
read -r left top < <(tesseract "$work/screen.png" - --psm 11 tsv 2>/dev/null |
  awk -F'\t' '$12 == "Zelk'"'"'s" { print $7, $8; exit }')
[[ -n ${left:-} ]] || fail "the title's position is not found"
picture="400x300+$((left > 20 ? left - 20 : 0))+$((top + 30))"
cp "$work/screen.png" "$artifacts/tunnel.png"
first=$(saturation "$picture")
cp "$work/screen.png" "$work/first.png"
sleep 0.5
import -silent -window root "$work/screen.png" 2>/dev/null || fail "cannot read the screen"
convert "$work/first.png" -crop "$picture" +repage "$work/a.rgb"
convert "$work/screen.png" -crop "$picture" +repage "$work/b.rgb"
awk -v s="$first" 'BEGIN { exit !(s > 0.05) }' || fail "the picture at $picture is not the texture: saturation $first"
! cmp -s "$work/a.rgb" "$work/b.rgb" || fail "the picture at $picture stands still"
note "the textured tunnel (saturation $first) moves under the title bar"

xdotool key Escape
expect_exit_0 60
echo "PASS ($scenario)"
