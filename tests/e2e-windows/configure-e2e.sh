#!/usr/bin/env bash
# The saver's Configure dialog and its stored look, end to end under Wine, in
# an Xvfb of its own, as a user drives them:
#   configure-e2e.sh SCENARIO path/to/tunnel.exe path/to/Demo.jpg WINEPREFIX path/to/preview-parent.exe
# The program runs as Tunnel.scr; the dialog is driven by keys only; what it
# stored is read with Wine's own reg; the saver's picture is read off the
# screen. The prefix is this test's own; scenarios must not share it at once.
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=wine-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/wine-lib.sh" "$@"

readonly key='HKCU\Software\Zelk'"'"'s little tunnel\Screen saver'
readonly dialog_title="Zelk's little tunnel Settings"

stop_program() {
  end_program "$program_pid"
  end_helper "$parent_pid"
  # The prefix is shared with run-e2e.sh's scenarios, which expect no look.
  wine_reg delete "$key" /f >/dev/null || true
  WINEDEBUG=-all wineserver --kill 2>/dev/null || true
}

# The program as Windows starts a saver: Tunnel.scr in a folder with the
# texture, started from another folder, with the given arguments.
start_saver() {
  mkdir -p "$work/saver" "$work/elsewhere"
  cp "$tunnel_exe" "$work/saver/Tunnel.scr"
  cp "$texture" "$work/saver/Demo.jpg"
  (cd "$work/elsewhere" && exec env WINEDEBUG=-all,+msgbox wine "$work/saver/Tunnel.scr" "$@") \
    >"$work/stdout" 2>"$work/wine.log" &
  program_pid=$!
}

wine_reg() { WINEDEBUG=-all wine reg "$@" 2>/dev/null | tr -d '\r'; }

# One stored value as reg prints it ("REG_DWORD 0x8"), empty when missing.
stored() {
  wine_reg query "$key" /v "$1" | awk -v name="$1" '$1 == name { $1 = ""; sub(/^ +/, ""); print }'
}

expect_stored() {
  local value
  value=$(stored "$1")
  [[ $value == "$2" ]] || fail "$1 is \"$value\", expected \"$2\""
}

# Waits for this process's dialog and gives it the keyboard.
wait_for_dialog() {
  wait_until 60 eval 'dialog=$(xdotool search --onlyvisible --name "^${dialog_title}\$" 2>/dev/null | head -n 1); [[ -n $dialog ]]' ||
    fail "no settings dialog appeared"
  program_running || fail "the program ended while showing the dialog"
  xdotool windowfocus --sync "$dialog" || fail "cannot focus the dialog"
  sleep 0.3
}

keys() { xdotool key --delay 80 "$@"; }

# The saver's full-screen window, once this process has drawn a rate text.
wait_for_saver() {
  wait_until 90 eval 'main=$(xdotool search --onlyvisible --name "^${title} - " 2>/dev/null | head -n 1); [[ -n $main ]]' ||
    fail "no saver window with a rate text appeared"
}

main_title() { xdotool getwindowname "$main" 2>/dev/null || true; }

# The preview's title, as the helper prints it twice a second.
preview_title() { { grep '^child: ' "$work/parent.out" 2>/dev/null || true; } | tail -n 1 | tr -d '\r' | sed 's/^child: //'; }

# Fresh rate texts (of the full-screen window, or those the command after
# the count gives) until one fits the quads per ring: (rings - 1) pairs of
# 2 x quads triangles, at most 127 pairs.
expect_quads() {
  local quads=$1 per_pair=$(($1 * 2)) name seen= tries=0
  local deadline=$((SECONDS + 60))
  shift
  local read_title=("$@")
  ((${#read_title[@]} > 0)) || read_title=(main_title)
  while ((SECONDS < deadline)); do
    name=$("${read_title[@]}")
    if [[ $name =~ $rate_pattern && $name != "$seen" ]]; then
      seen=$name
      local triangles=${BASH_REMATCH[1]}
      if ((triangles > 0 && triangles % per_pair == 0 && triangles <= 127 * per_pair)); then
        note "$quads quads a ring: $name"
        return 0
      fi
      ((++tries < 4)) || fail "$name is not $quads quads a ring"
    fi
    sleep 0.2
  done
  fail "no rate text in 60 s"
}

screen() { import -silent -window root -crop "$1" -depth 8 rgb:"$2" 2>/dev/null || fail "cannot read the screen"; }

# Pixels of the given RGB file that are not pure green (red or blue above 8).
not_green() { od -An -v -tu1 -w3 "$1" | awk '$1 > 8 || $3 > 8 { n++ } END { print n + 0 }'; }
brightest_green() { od -An -v -tu1 -w3 "$1" | awk '$2 > g { g = $2 } END { print g + 0 }'; }

# The bottom-left corner's text as tesseract reads it, in $read_text.
read_corner() {
  screen 512x56+0+712 "$work/corner.rgb"
  convert -size 512x56 -depth 8 rgb:"$work/corner.rgb" -negate -resize 300% "$work/corner.png"
  read_text=$(tesseract "$work/corner.png" - --psm 7 2>/dev/null | tr -d '\n')
}

# A green and black picture, PNG: nothing else on screen is pure green.
make_green_png() {
  convert -size 128x128 xc:black -fill '#00ff00' -draw 'rectangle 0,0 63,63' \
    -draw 'rectangle 64,64 127,127' -define png:color-type=2 "$work/green.png"
  [[ $(file -b "$work/green.png") == PNG* ]] || fail "could not make the PNG"
}

# The helper window a preview draws in or a dialog is owned by: its handle
# in $handle, its X window in $parent.
start_preview_parent() {
  (cd "$work" && exec env WINEDEBUG=-all wine "$preview_parent") >"$work/parent.out" 2>/dev/null &
  parent_pid=$!
  wait_until 60 test -s "$work/parent.out" || fail "the helper window's program did not start"
  handle=$(head -n 1 "$work/parent.out" | tr -d '\r')
  wait_until 20 eval 'parent=$(xdotool search --onlyvisible --name "^Preview parent\$" 2>/dev/null | head -n 1); [[ -n $parent ]]' ||
    fail "the helper window is not visible"
}

run_scenario() {
  case $scenario in
  configure_and_run)
    start_display
    make_green_png
    wine_reg delete "$key" /f >/dev/null || true
    local picture
    picture="Z:${work//\//\\}\\green.png"

    # Quads 8, the PNG picture, the rate shown: set by their mnemonics, then
    # Return for OK.
    start_saver /c
    wait_for_dialog
    keys alt+q 8 alt+i
    xdotool type --delay 20 "$picture"
    keys alt+r Return
    expect_exit_0 20
    expect_stored QuadsPerRing "REG_DWORD 0x8"
    expect_stored Picture "REG_SZ $picture"
    expect_stored ShowRate "REG_DWORD 0x1"
    expect_stored Shape "REG_SZ plain"
    note "OK stored: 8 quads, $picture, the rate shown"

    # Escape is Cancel: a change made then is not kept.
    start_saver /c
    wait_for_dialog
    keys alt+q 3 Escape
    expect_exit_0 20
    expect_stored QuadsPerRing "REG_DWORD 0x8"
    # The dialog opens with what is stored: OK at once keeps every value.
    start_saver /c
    wait_for_dialog
    keys Return
    expect_exit_0 20
    expect_stored QuadsPerRing "REG_DWORD 0x8"
    expect_stored Picture "REG_SZ $picture"
    expect_stored ShowRate "REG_DWORD 0x1"
    note "Escape kept nothing; /c again kept every value"

    start_saver /s
    wait_for_saver
    expect_quads 8
    # Above the rate's corner, the tunnel wears the green picture: no pixel
    # with red or blue, and bright green ones.
    screen 1024x700+0+0 "$work/tunnel.rgb"
    local off bright
    off=$(not_green "$work/tunnel.rgb")
    bright=$(brightest_green "$work/tunnel.rgb")
    ((off == 0 && bright > 100)) || fail "not the green picture: $off other pixels, brightest green $bright"
    note "the tunnel wears the PNG (brightest green $bright)"
    # The rate in the bottom-left corner, as text a reader can read.
    read_corner
    [[ $read_text == *tunnel*fps* ]] || fail "no rate read in the corner: \"$read_text\""
    note "the corner reads: $read_text"
    keys x
    expect_exit_0 20

    # The preview reads the look too.
    start_preview_parent
    start_saver /p "$handle"
    expect_quads 8 preview_title
    xdotool windowfocus --sync "$parent" || fail "cannot focus the preview's parent"
    keys Return
    expect_exit_0 20
    ;;
  junk_values)
    start_display
    wine_reg delete "$key" /f >/dev/null || true
    # Every value of the wrong kind or out of range.
    wine_reg add "$key" /v QuadsPerRing /t REG_SZ /d lots /f >/dev/null
    wine_reg add "$key" /v Speed /t REG_DWORD /d 99 /f >/dev/null
    wine_reg add "$key" /v Focal /t REG_SZ /d 3 /f >/dev/null
    wine_reg add "$key" /v Shape /t REG_SZ /d twisted /f >/dev/null
    wine_reg add "$key" /v Picture /t REG_DWORD /d 5 /f >/dev/null
    wine_reg add "$key" /v ShowRate /t REG_BINARY /d 0101 /f >/dev/null
    expect_stored QuadsPerRing "REG_SZ lots"
    start_saver /s
    wait_for_saver
    expect_quads 64
    # Demo.jpg, in colour, and no rate in the corner.
    screen 1024x700+0+0 "$work/screen.rgb"
    od -An -v -tu1 -w3 "$work/screen.rgb" | awk '$1 != $2 || $2 != $3 { found = 1 } END { exit !found }' ||
      fail "the screen shows no textured tunnel"
    read_corner
    [[ $read_text != *fps* ]] || fail "the rate is drawn: \"$read_text\""
    ! grep -q 'MSGBOX_OnInit' "$work/wine.log" || fail "a message box was shown"
    note "the saver runs with the defaults"
    keys x
    expect_exit_0 20
    # The dialog shows the defaults for them; OK stores good values.
    start_saver /c
    wait_for_dialog
    keys Return
    expect_exit_0 20
    expect_stored QuadsPerRing "REG_DWORD 0x40"
    expect_stored Speed "REG_DWORD 0x0"
    expect_stored Shape "REG_SZ plain"
    expect_stored Picture "REG_SZ"  # empty
    expect_stored ShowRate "REG_DWORD 0x0"
    note "the dialog replaced the junk with the defaults"
    # A speed typed out of range: OK says what it takes and keeps the dialog.
    start_saver /c
    wait_for_dialog
    keys alt+p 1 2 Return
    wait_until 20 grep -q 'MSGBOX_OnInit L"The speed must be a whole number from -8 to 8."' "$work/wine.log" ||
      fail "no box for a speed of 12"
    local box
    wait_until 10 eval 'box=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1); [[ -n $box ]]' ||
      fail "the box is not on screen"
    xdotool windowfocus --sync "$box" || fail "cannot focus the box"
    keys Return
    program_running || fail "the dialog closed on a bad speed"
    xdotool windowfocus --sync "$dialog" || fail "cannot focus the dialog again"
    keys Escape
    expect_exit_0 20
    expect_stored Speed "REG_DWORD 0x0"
    note "a speed of 12 was refused with a box, nothing stored"
    ;;
  owned_and_defaults)
    start_display
    wine_reg delete "$key" /f >/dev/null || true
    wine_reg add "$key" /v QuadsPerRing /t REG_DWORD /d 16 /f >/dev/null
    wine_reg add "$key" /v ShowRate /t REG_DWORD /d 1 /f >/dev/null
    start_preview_parent
    start_saver "/c:$handle"
    wait_for_dialog
    # Wine marks an owned window transient for its owner's X window.
    local owner
    owner=$(xprop -id "$dialog" WM_TRANSIENT_FOR | awk '{ print $NF }')
    (($(printf '%d' "$owner") == parent)) || fail "the dialog is not owned by the given window: $owner"
    note "/c:$handle: the dialog is owned by that window"
    keys alt+d Return
    expect_exit_0 20
    expect_stored QuadsPerRing "REG_DWORD 0x40"
    expect_stored ShowRate "REG_DWORD 0x0"
    note "Restore defaults, then OK, stored the defaults"
    # Browse... is the system's open-file dialog: a name typed there and
    # Return fill in the picture.
    mkdir -p "$work/Pictures"
    cp "$texture" "$work/Pictures/Cave.jpg"
    local picture chooser
    picture="Z:${work//\//\\}\\Pictures\\Cave.jpg"
    start_saver /c
    wait_for_dialog
    keys alt+b
    wait_until 30 eval 'chooser=$(xdotool search --onlyvisible --name "^Choose the tunnel'"'"'s picture\$" 2>/dev/null | head -n 1); [[ -n $chooser ]]' ||
      fail "Browse... opened no file dialog"
    xdotool windowfocus --sync "$chooser" || fail "cannot focus the file dialog"
    xdotool type --delay 20 "$picture"
    keys Return
    wait_until 20 eval '[[ -z $(xdotool search --onlyvisible --name "^Choose the tunnel" 2>/dev/null) ]]' ||
      fail "the file dialog stayed open"
    xdotool windowfocus --sync "$dialog" || fail "cannot focus the dialog again"
    keys Return
    expect_exit_0 20
    expect_stored Picture "REG_SZ $picture"
    note "Browse... chose $picture"
    # The .scr alone is Configure too.
    start_saver
    wait_for_dialog
    keys Escape
    expect_exit_0 20
    ;;
  *)
    fail "unknown scenario"
    ;;
  esac
}

run_in_prefix
