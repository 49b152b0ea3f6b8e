#!/usr/bin/env bash
# One end-to-end scenario of tunnel.exe under Wine, in an Xvfb of its own:
#   run-e2e.sh SCENARIO path/to/tunnel.exe path/to/Demo.jpg WINEPREFIX path/to/preview-parent.exe
# The program is the real Windows build: its warning box is Wine's MessageBox,
# its window a Win32 window, its GL Wine's opengl32 over the X server's GLX.
# We read what the user would see: window captions (WM_NAME), the pixels of
# the window, the process's exit code; Wine's debug channels add the text of
# the message box and of OutputDebugStringA.
# The Wine prefix is this test's own (made on first use); scenarios must not
# run at the same time in it.
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=wine-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/wine-lib.sh" "$@"
exe=$tunnel_exe

xephyr_pid=
saver_debug=

stop_program() {
  end_program "$program_pid"
  end_helper "$parent_pid"
  end_helper "$xephyr_pid"
  # The prefix is ours alone: its server goes with this X server, so the next
  # scenario's desktop starts on its own display.
  WINEDEBUG=-all wineserver --kill 2>/dev/null || true
}

# Starts tunnel.exe in the given folder, which is its current directory,
# with the arguments that follow.
start_program() {
  local folder=$1
  shift
  (cd "$folder" && exec env WINEDEBUG=-all,+debugstr,+msgbox$saver_debug wine "$exe" "$@") \
    >"$work/stdout" 2>"$work/wine.log" &
  program_pid=$!
}

# The same program as Windows starts a screensaver: renamed to .scr, in the
# given folder, and started from another (Windows picks its own).
start_saver() {
  local folder=$1
  shift
  cp "$tunnel_exe" "$folder/Tunnel.scr"
  exe="$folder/Tunnel.scr"
  # Wine's wgl channel shows whether the swap interval was asked for.
  saver_debug=,+wgl
  mkdir -p "$work/elsewhere"
  start_program "$work/elsewhere" "$@"
}

# Visible top-level windows whose caption is exactly the title.
windows_titled() {
  xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null || true
}

window_width() {
  local WIDTH=0 HEIGHT=0 X=0 Y=0 SCREEN=0 WINDOW=0
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  echo "$WIDTH"
}

# The warning box and the effect window share the caption; the box is the
# small one.
find_window() {
  local want=$1 id
  for id in $(windows_titled); do
    local width
    width=$(window_width "$id")
    if [[ $want == box && $width -lt 500 ]] || [[ $want == main && $width -ge 500 ]]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

box_ready() { grep -q 'msgbox:MSGBOX_OnInit' "$work/wine.log" && find_window box >/dev/null; }

no_box_shown() { ! grep -q 'msgbox:MSGBOX_OnInit' "$work/wine.log"; }

# Waits until the box is on screen and has set itself up (Wine logs its
# text then), so that keys reach its buttons.
wait_for_box() {
  wait_until 60 box_ready || fail "no warning box appeared"
  box=$(find_window box)
  program_running || fail "the program ended while showing the box"
  note "warning box up, caption \"$title\""
}

press() {
  local window=$1
  shift
  timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null || true
  sleep 0.2
  xdotool key --delay 50 "$@"
}

# The warning text as Wine's msgbox channel prints it: every character but
# line feeds and double quotes as itself.
check_warning_text() {
  local expected
  expected='Warning: watching this effect too much can dramatically\n'
  expected+='  harm your mental sanity. The author of this program\n'
  expected+='  reject any responsability for it.\n'
  expected+='  Watch it at your own risk :-)\n'
  expected+='\n'
  expected+='Key usage:\n'
  expected+=' \"  \" : change tunnel shape\n'
  expected+=' \"+\"/\"-\" : increase/decrease speed\n'
  expected+=' \"*\"/\"/\" : change camera focal\n'
  expected+=' \"1\"..\"4\": change nb of poly\n'
  expected+=' ESC : stop it before being totally hypnotised\n'
  local line
  line=$(grep -m 1 'msgbox:MSGBOX_OnInit' "$work/wine.log" || true)
  [[ -n "$line" ]] || fail "Wine logged no message box"
  # The channel shortens long texts: compare what it printed, which must be
  # the whole text or a prefix of it ending in "...".
  local shown=${line#*MSGBOX_OnInit L\"}
  if [[ $shown == *'"...' ]]; then
    shown=${shown%\"...}
    [[ ${#shown} -ge 200 && $expected == "$shown"* ]] ||
      fail "warning text differs: $shown"
  else
    shown=${shown%\"}
    [[ $shown == "$expected" ]] || fail "warning text differs: $shown"
  fi
  note "warning text as expected"
}

check_debug_output() {
  grep -Eq 'OutputDebugStringA "PixelFormat Selected: [0-9]+\\nBPP: [0-9]+\\n"$' "$work/wine.log" ||
    fail "no pixel-format line in the debug output"
  note "debug output: $(grep -m 1 -o 'PixelFormat Selected: [0-9]*' "$work/wine.log")"
}

accept_warning() {
  wait_for_box
  check_warning_text
  press "$box" Return
  wait_until 60 find_window main >/dev/null || fail "no effect window after OK"
  main=$(find_window main)
  note "effect window up: $(xdotool getwindowgeometry "$main" | tr -s ' \n' ' ')"
}

# Waits for a rate text in the title and prints its triangle count.
rate_count_after() {
  local since=$1 seconds=$2 name
  local deadline=$((SECONDS + seconds))
  while ((SECONDS < deadline)); do
    name=$(xdotool getwindowname "$main" 2>/dev/null || true)
    if [[ $name =~ $rate_pattern && $name != "$since" ]]; then
      echo "$name"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# A fresh rate text (one that differs from the last one seen).
next_rate() {
  local text
  text=$(rate_count_after "${last_rate:-}" 10) || fail "no new rate text in the title"
  last_rate=$text
  [[ $text =~ $rate_pattern ]]
  triangles=${BASH_REMATCH[1]}
}

# The window's pixels as raw RGB bytes.
snapshot() {
  import -silent -window "$main" rgb:"$1" 2>/dev/null || fail "cannot read the window's pixels"
}

# "grey" when every pixel has equal red, green and blue, else "colour".
colour_kind() {
  od -An -v -tu1 -w3 "$1" | awk '$1 != $2 || $2 != $3 { colour = 1; exit } END { print colour ? "colour" : "grey" }'
}

# Darkest and brightest channel value.
brightness_range() {
  od -An -v -tu1 -w1 "$1" | awk 'NR == 1 { lo = hi = $1 } { if ($1 < lo) lo = $1; if ($1 > hi) hi = $1 } END { print lo, hi }'
}

same_pixels() { cmp -s "$1" "$2"; }

# Waits until two snapshots a moment apart are equal (the camera stands
# still) or differ (it moves).
wait_for_motion() {
  local want=$1 tries=30
  while ((tries-- > 0)); do
    snapshot "$work/a.rgb"
    sleep 0.3
    snapshot "$work/b.rgb"
    if [[ $want == still ]] && same_pixels "$work/a.rgb" "$work/b.rgb"; then
      return 0
    fi
    if [[ $want == moving ]] && ! same_pixels "$work/a.rgb" "$work/b.rgb"; then
      return 0
    fi
  done
  fail "the picture is not $want"
}

# The triangle count of a rate text at a polygon step: (rings - 1) pairs of
# 128 / step triangles. A title made just before the key was handled may
# still show the old step, so a few fresh ones are read.
check_step() {
  local step=$1 per_pair=$((128 / $1)) tries=4
  while ((tries-- > 0)); do
    next_rate
    if ((triangles % per_pair == 0 && triangles <= 127 * per_pair)); then
      note "step $step: $last_rate"
      return 0
    fi
  done
  fail "step $step: $triangles triangles is not a multiple of $per_pair up to $((127 * per_pair))"
}

# Two 800 x 600 monitors side by side: Xephyr with two screens joined by
# Xinerama, inside an Xvfb of its own (the prefix's settings for it:
# configure_monitors_prefix).
start_two_monitors() {
  start_display
  Xephyr -displayfd 3 -screen 800x600 -screen 800x600 +xinerama -nolisten tcp -noreset \
    3>"$work/xephyr-display" 2>"$work/xephyr.log" &
  xephyr_pid=$!
  wait_until 20 test -s "$work/xephyr-display" || fail "Xephyr did not start: $(cat "$work/xephyr.log")"
  export DISPLAY=":$(head -n 1 "$work/xephyr-display")"
}

# The saver's processes: every command line naming this scenario's folder.
saver_processes() { pgrep -f "${work##*/}" 2>/dev/null | wc -l; }

# The pixels of a screen rectangle (WIDTHxHEIGHT+X+Y) as raw RGB bytes.
screen_part() {
  import -silent -window root -crop "$1" rgb:"$2" 2>/dev/null || fail "cannot read the screen"
}

# The rate texts of a window's title stay at or below the refresh rate,
# which Wine reports as 60 Hz on these X servers: 60 frames a second, plus
# one at most for a rate period that holds one frame more than a second's.
# The title by the command that follows (a top-level window's, or the
# preview's as the helper prints it).
check_paced() {
  local count=0 name fps seen=
  local deadline=$((SECONDS + 30))
  while ((count < 3 && SECONDS < deadline)); do
    name=$("$@" 2>/dev/null || true)
    if [[ $name =~ $rate_pattern && $name != "$seen" ]]; then
      seen=$name
      fps=${name#* - }
      fps=${fps%% fps*}
      awk -v f="$fps" 'BEGIN { exit !(f > 0 && f <= 61) }' || fail "not paced: $name"
      count=$((count + 1))
    fi
    sleep 0.2
  done
  ((count == 3)) || fail "fewer than three rate texts in 30 s"
  note "paced: $seen"
}

window_title() { xdotool getwindowname "$1"; }

preview_title() { grep '^child: ' "$work/parent.out" | tail -n 1 | tr -d '\r' | sed 's/^child: //'; }

# The saver asks for it after its pixel format, a moment later on a loaded
# machine: waited for, as the log line of this process.
check_swap_interval() {
  wait_until 30 grep -q 'wglSwapIntervalEXT (1)' "$work/wine.log" || fail "no swap interval of 1 was asked for"
}

# The two-monitor prefix's X11 driver settings, made on every run so that a
# prefix made before a setting was added gets it too:
# - Wine reads the monitors from Xinerama once told not to use XRandR, which
#   Xephyr answers with one;
# - Wine sends a key to the focus of the thread whose X window the key came
#   to, and by default (UseTakeFocus) it activates a window that gets the X
#   focus only when a window manager offers it WM_TAKE_FOCUS. With no manager
#   here, focusing a saver window that is not the active one (the other
#   process's window was shown after it) left the key to nobody: neither
#   saver heard it. Without UseTakeFocus, the X focus activates the window,
#   as under a click-to-focus manager, before the key (the events come in
#   that order), so the key reaches the saver on the monitor focused.
configure_monitors_prefix() {
  local name
  for name in UseXRandR UseTakeFocus; do
    WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$name" /t REG_SZ /d N /f \
      >/dev/null 2>&1 || fail "cannot set the X11 driver's $name"
  done
}

# Runs /s on the two monitors and checks that each is covered, exactly, by
# its own window, drawing the textured tunnel.
two_monitor_saver() {
  start_saver "$(folder_with_texture)" /s
  local ids=() id
  wait_until 90 eval 'mapfile -t ids < <(xdotool search --onlyvisible --name "^${title}" 2>/dev/null); ((${#ids[@]} == 2))' ||
    fail "not two saver windows: ${#ids[@]}"
  left= right=
  for id in "${ids[@]}"; do
    case $(xdotool getwindowgeometry "$id" | tr -s ' \n' ' ') in
    *"Position: 0,0 "*"Geometry: 800x600"*) left=$id ;;
    *"Position: 800,0 "*"Geometry: 800x600"*) right=$id ;;
    *) fail "a window covers no monitor exactly: $(xdotool getwindowgeometry "$id" | tr -s ' \n' ' ')" ;;
    esac
  done
  [[ -n $left && -n $right ]] || fail "both windows on one monitor"
  (($(saver_processes) == 2)) || fail "$(saver_processes) saver processes, expected one per monitor"
  local part
  for part in 800x600+0+0 800x600+800+0; do
    # A window may be up a moment before its first frame (the texture loads).
    wait_until 20 eval 'screen_part "$part" "$work/a.rgb" && [[ $(colour_kind "$work/a.rgb") == colour ]]' ||
      fail "no textured tunnel on the monitor at $part"
    sleep 0.3
    screen_part "$part" "$work/b.rgb"
    ! same_pixels "$work/a.rgb" "$work/b.rgb" || fail "the picture at $part stands still"
  done
  # The corners too: a picture drawn for a smaller, scaled size would
  # leave the far corner of each monitor undrawn.
  for part in 64x64+736+0 64x64+1536+0; do
    screen_part "$part" "$work/corner.rgb"
    [[ $(colour_kind "$work/corner.rgb") == colour ]] || fail "the corner at $part is not drawn"
  done
  note "two windows, one process each, each covering its monitor with the moving tunnel"
  no_box_shown || fail "a message box was shown"
}

# No saver window and no saver process left.
expect_all_gone() {
  wait_until 10 eval '(($(saver_processes) == 0))' || fail "$(saver_processes) saver processes still run"
  [[ -z $(windows_titled) ]] || fail "a saver window is still on screen"
  note "no saver window or process left"
}

set_dpi() {
  WINEDEBUG=-all wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1 || fail "cannot set the prefix's dpi"
  WINEDEBUG=-all wineserver --kill 2>/dev/null || true
}

folder_with_texture() {
  mkdir -p "$work/with"
  cp "$texture" "$work/with/Demo.jpg"
  echo "$work/with"
}

run_scenario() {
  case $scenario in
  decline_with_escape)
    start_display
    start_program "$work"
    wait_for_box
    press "$box" Escape
    expect_exit_0 20
    ;;
  decline_with_cancel)
    start_display
    start_program "$work"
    wait_for_box
    # OK has the focus; Tab moves it to Cancel, which Return then presses.
    press "$box" Tab Return
    expect_exit_0 20
    ;;
  decline_with_close)
    start_display
    start_program "$work"
    wait_for_box
    # Closing the box (its system menu's Close) answers Cancel.
    press "$box" alt+F4
    expect_exit_0 20
    ;;
  run_keys_and_escape)
    start_display
    start_program "$(folder_with_texture)"
    accept_warning
    check_debug_output
    local first
    first=$(xdotool getwindowname "$main")
    [[ $first == "$title" || $first =~ $rate_pattern ]] || fail "unexpected title: $first"
    check_step 1
    ((triangles > 127 * 16)) ||
      note "(only $triangles triangles at step 1: the coarse steps below prove less)"

    wait_for_motion moving
    snapshot "$work/textured.rgb"
    [[ $(colour_kind "$work/textured.rgb") == colour ]] ||
      fail "the tunnel shows no colour: Demo.jpg was not decoded"
    note "Demo.jpg drawn in colour"

    press "$main" 1
    check_step 8
    press "$main" 2
    check_step 4
    press "$main" 3
    check_step 2
    press "$main" 4
    check_step 1

    # Forty times slower: 8000 / 1.4141^40 is under 0.01 of a 1/256 ring
    # step per second, so the picture stands still; forty times faster brings
    # it back.
    local minus=() plus=()
    for _ in $(seq 40); do minus+=(minus); plus+=(plus); done
    press "$main" "${minus[@]}"
    wait_for_motion still
    note "\"-\" stopped the camera"
    # The focal factor changes the projection of the standing picture.
    snapshot "$work/before-focal.rgb"
    press "$main" asterisk
    sleep 0.5
    snapshot "$work/after-focal.rgb"
    ! same_pixels "$work/before-focal.rgb" "$work/after-focal.rgb" || fail "\"*\" changed nothing"
    press "$main" slash
    sleep 0.5
    snapshot "$work/back-focal.rgb"
    ! same_pixels "$work/after-focal.rgb" "$work/back-focal.rgb" || fail "\"/\" changed nothing"
    note "\"*\" and \"/\" change the picture"
    press "$main" "${plus[@]}"
    wait_for_motion moving
    note "\"+\" set it moving again"
    # Space switches the shape of the rings built from now on.
    press "$main" space

    press "$main" Escape
    note "Escape: waiting for the tunnel to run out"
    expect_exit_0 60
    ;;
  close_the_window)
    start_display
    start_program "$(folder_with_texture)"
    accept_warning
    next_rate
    note "running: $last_rate"
    # Alt+F4 is the system menu's Close: WM_SYSCOMMAND, then WM_CLOSE.
    press "$main" alt+F4
    expect_exit_0 20
    ;;
  run_without_texture)
    start_display
    start_program "$work"
    accept_warning
    next_rate
    note "running without Demo.jpg: $last_rate"
    snapshot "$work/checker.rgb"
    [[ $(colour_kind "$work/checker.rgb") == grey ]] || fail "colour without a texture file"
    local range
    range=$(brightness_range "$work/checker.rgb")
    read -r darkest brightest <<<"$range"
    ((brightest - darkest >= 100)) || fail "nothing drawn: brightness $range"
    note "grey fallback pattern drawn, shaded: brightness $range"
    press "$main" Escape
    expect_exit_0 60
    ;;
  saver_full_screen)
    start_display
    start_saver "$(folder_with_texture)" /s
    # Its title soon turns into the rate text.
    wait_until 60 eval 'main=$(xdotool search --onlyvisible --name "^${title}" 2>/dev/null | head -n 1); [[ -n $main ]]' ||
      fail "no saver window appeared"
    local geometry
    geometry=$(xdotool getwindowgeometry "$main" | tr -s ' \n' ' ')
    [[ $geometry == *"Position: 0,0 "*"Geometry: 1024x768"* ]] || fail "not full screen: $geometry"
    note "full-screen window: $geometry"
    wait_for_motion moving
    import -silent -window root rgb:"$work/screen.rgb" 2>/dev/null || fail "cannot read the screen"
    # In colour: the texture next to the .scr was found.
    [[ $(colour_kind "$work/screen.rgb") == colour ]] || fail "the screen shows no textured tunnel"
    note "the screen shows the textured tunnel, moving"
    no_box_shown || fail "a message box was shown"
    check_swap_interval
    check_paced window_title "$main"
    # A hand resting on the mouse does not end it.
    xdotool mousemove 512 384 sleep 0.3 mousemove 514 386
    sleep 1
    program_running || fail "a 2-pixel mouse move ended the saver"
    press "$main" x
    expect_exit_0 10
    ;;
  saver_preview)
    start_display
    (cd "$work" && exec env WINEDEBUG=-all wine "$preview_parent") >"$work/parent.out" 2>/dev/null &
    parent_pid=$!
    wait_until 60 test -s "$work/parent.out" || fail "the preview parent did not start"
    local handle parent
    handle=$(head -n 1 "$work/parent.out" | tr -d '\r')
    wait_until 20 eval 'parent=$(xdotool search --onlyvisible --name "^Preview parent\$" 2>/dev/null | head -n 1); [[ -n $parent ]]' ||
      fail "the preview parent's window is not visible"
    start_saver "$(folder_with_texture)" /p "$handle"
    # Wine 8 does not bring the pixels of a GL child window in another
    # process to the screen (the parent stays black, on Windows the tunnel
    # shows), so the preview is known by its rendering context being set up
    # and the effect running, not by a screenshot.
    wait_until 60 grep -q 'PixelFormat Selected' "$work/wine.log" || fail "the preview set up no GL window"
    program_running || fail "the preview ended by itself"
    note "the preview runs inside the parent window (handle $handle)"
    check_swap_interval
    check_paced preview_title
    no_box_shown || fail "a message box was shown"
    # The helper outlives its window by three seconds: only the window's
    # destruction can end the saver this soon.
    press "$parent" Return
    expect_exit_0 2.5
    # A handle that is no window: nothing to draw in, done at once.
    start_saver "$work" /p 12345
    expect_exit_0 20
    no_box_shown || fail "a message box was shown for a handle that is no window"
    ;;
  saver_settings)
    start_display
    # /c from the settings dialog, then nothing at all as "Configure" in
    # the .scr's context menu gives (tunnel.exe alone shows the warning:
    # the decline scenarios). configure-e2e.sh drives the dialog itself.
    local arguments dialog
    for arguments in /c ""; do
      start_saver "$work" $arguments
      wait_until 60 eval 'dialog=$(xdotool search --onlyvisible --name "^${title} Settings\$" 2>/dev/null | head -n 1); [[ -n $dialog ]]' ||
        fail "no settings dialog for \"$arguments\""
      no_box_shown || fail "a message box was shown for \"$arguments\""
      note "settings dialog for \"$arguments\""
      press "$dialog" Escape
      expect_exit_0 20
    done
    ;;
  saver_two_monitors)
    start_two_monitors
    configure_monitors_prefix
    set_dpi 96
    two_monitor_saver
    check_paced window_title "$left"
    # A key on the second monitor, whose process Windows did not start.
    press "$right" x
    expect_exit_0 10
    expect_all_gone
    # Scaled to 150 %: still every pixel of each monitor, and a mouse move
    # beyond the slack ends both.
    set_dpi 144
    two_monitor_saver
    xdotool mousemove 400 300 sleep 0.3 mousemove 460 340
    expect_exit_0 10
    expect_all_gone
    set_dpi 96
    ;;
  *)
    fail "unknown scenario"
    ;;
  esac
}

# The two-monitor scenario changes its prefix's settings: it has one of its own.
if [[ $scenario == saver_two_monitors ]]; then
  export WINEPREFIX=$WINEPREFIX-monitors
fi
run_in_prefix
