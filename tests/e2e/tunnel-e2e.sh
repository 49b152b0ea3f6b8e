#!/usr/bin/env bash
# One end-to-end scenario of the real program in an X server of its own:
#   tunnel-e2e.sh SCENARIO TUNNEL SEND-DELETE-WINDOW ASSETS-DIR ARTIFACT-DIR
# The program starts in ASSETS-DIR, where it must find its texture (in the
# folder itself or, for an installed program, in its installation); it
# starts in an empty folder for no-texture.
# Xvfb picks a free display itself; there is no window manager, so keys go to
# the window we focus and closing is a WM_DELETE_WINDOW client message sent
# by our helper. We check what a user would see: window names and sizes,
# pixels, the exit code; the window layer's trace adds the box texts.
set -euo pipefail

scenario=$1
exe=$(realpath "$2")
send_delete=$(realpath "$3")
assets=$(realpath "$4")
artifacts=$5
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")

# shellcheck source-path=SCRIPTDIR source=xvfb-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/xvfb-lib.sh"
show_on_failure "$work/program.log" "the program's output" 30

stop_program() {
  # SDL's message box runs in a forked child that ignores SIGTERM: end the
  # program's whole process group (it leads one, see start_program).
  end_program -KILL -- "-$program_pid"
}

# Starts the program in a folder, its current directory, as the leader of a
# new process group (setsid does not fork here: the subshell leads nothing),
# with the environment variables given after the folder.
start_program() {
  local folder=$1
  shift
  (cd "$folder" && TUNNEL_WIN32_TRACE=1 exec env "$@" setsid "$exe") >"$work/program.log" 2>&1 &
  program_pid=$!
}

# The warning box and the effect window share the name; the box is a dialog.
find_window() {
  local want=$1 id width height
  while read -r id width height; do
    [[ -n "$id" ]] || continue
    if is_dialog "$id"; then
      [[ $want == box ]] && { echo "$id $width $height"; return 0; }
    else
      [[ $want == main ]] && { echo "$id $width $height"; return 0; }
    fi
  done < <(windows_named "^${title}\$|^${title} - ")
  return 1
}

no_named_windows() { [[ -z "$(windows_named '.')" ]]; }
fatal_box_up() { [[ -n "$(windows_named '^Fatal Blow$')" ]]; }

box_text_expected() {
  printf '%s\n' \
    'Warning: watching this effect too much can dramatically' \
    '  harm your mental sanity. The author of this program' \
    '  reject any responsability for it.' \
    '  Watch it at your own risk :-)' \
    '' \
    'Key usage:' \
    ' "  " : change tunnel shape' \
    ' "+"/"-" : increase/decrease speed' \
    ' "*"/"/" : change camera focal' \
    ' "1".."4": change nb of poly' \
    ' ESC : stop it before being totally hypnotised'
}

wait_for_box() {
  wait_until 20 find_window box >/dev/null || fail "no warning box appeared"
  read -r box box_width box_height < <(find_window box)
  program_running || fail "the program ended while showing the box"
  # The box's words as the window layer passed them to SDL: caption, icon
  # and buttons (type 0x31), no owner, and the eleven lines.
  local expected
  expected="MessageBoxA: owner none, type 0x31, caption \"$title\", text:"$'\n'"$(box_text_expected)"$'\n\n--'
  wait_until 5 grep -q '^--$' "$work/program.log" || fail "no trace of the box"
  [[ "$(cat "$work/program.log")" == *"$expected"* ]] || fail "the warning box text differs"
  # SDL's box is drawn once it is mapped; give it a moment before keys.
  sleep 0.5
  import -window "$box" "$artifacts/$scenario-warning-box.png" 2>/dev/null || true
  note "warning box up (${box_width}x${box_height}), caption and text as expected"
}

press() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool key --delay 40 "$@"
}

open_effect_window() {
  wait_for_box
  press "$box" Return
  wait_until 15 find_window main >/dev/null || fail "no effect window after OK"
  read -r main main_width main_height < <(find_window main)
  [[ "$main_width" == 632 && "$main_height" == 446 ]] ||
    fail "effect window is ${main_width}x${main_height}, expected the 632x446 client area"
  note "effect window up, 632x446"
  appeared=$(date +%s.%N)
}

window_name() { xwininfo -id "$main" 2>/dev/null | sed -n 's/^xwininfo: Window id: 0x[0-9a-f]* "\(.*\)"$/\1/p'; }

# Waits for a rate text in the title that differs from the one given and
# satisfies the check; prints its triangle count.
rate_count_when() {
  local since=$1 seconds=$2 check=$3 name count
  local deadline
  deadline=$(awk -v now="$(date +%s.%N)" -v s="$seconds" 'BEGIN { printf "%.3f", now + s }')
  while awk -v now="$(date +%s.%N)" -v d="$deadline" 'BEGIN { exit !(now < d) }'; do
    name=$(window_name)
    if [[ $name =~ $rate_pattern && $name != "$since" ]]; then
      count=${BASH_REMATCH[1]}
      if $check "$count"; then
        last_title=$name
        echo "$count"
        return 0
      fi
    fi
    sleep 0.05
  done
  return 1
}

any_count() { true; }
eight_quads_a_ring() { (($1 % 16 == 0 && $1 <= 127 * 16)); }
sixty_four_quads_a_ring() { (($1 % 128 == 0 && $1 > 127 * 16)); }

wait_for_rate_text() {
  last_title=
  local count
  count=$(rate_count_when "" 2 any_count) || fail "no rate text in the title within 2 s of the window"
  last_title=$(window_name)
  note "title within 2 s: \"$last_title\""
}

# Keeps a screenshot; a drawn tunnel, not a black or blank window, has many
# distinct colours (shading alone gives dozens even on the 2 x 2 checker).
screenshot_main() {
  local least=$1
  screenshot="$artifacts/$scenario-running.png"
  import -window "$main" "$screenshot" || fail "no screenshot"
  local colours
  colours=$(identify -format '%k' "$screenshot")
  ((colours >= least)) || fail "the screenshot has only $colours colours"
  note "screenshot $screenshot ($colours colours)"
}

# The checker is black and white, shaded grey: no colour at all. The painted
# texture has steel blues, cyan and amber lights: a mean saturation of about
# 0.13 in the default view.
saturation() { convert "$screenshot" -colorspace HSL -channel G -separate +channel -format '%[fx:mean]' info:; }
expect_texture() {
  local mean
  mean=$(saturation)
  awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' || fail "the checker, not the texture (saturation $mean)"
  note "the texture is shown (saturation $mean)"
}
expect_checker() {
  local mean
  mean=$(saturation)
  awk -v m="$mean" 'BEGIN { exit !(m == 0) }' || fail "not the grey checker (saturation $mean)"
  note "the checker is shown (saturation 0)"
}

# A display number with no server behind it.
free_display() {
  local n=90
  while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do
    n=$((n + 1))
  done
  echo ":$n"
}

# Without a window system the program must say why in one line and end with
# 1, before any box, rather than run where nobody can see or stop it.
expect_no_window() {
  local label=$1 expected=$2
  shift 2
  local code=0
  (cd "$assets" && exec timeout 10 env "$@" "$exe") >"$work/program.log" 2>&1 || code=$?
  ((code != 124)) || fail "$label: still running after 10 s"
  ((code == 1)) || fail "$label: exit code $code, expected 1"
  [[ "$(wc -l <"$work/program.log")" -eq 1 ]] || fail "$label: not one line of output"
  grep -qx "$expected" "$work/program.log" || fail "$label: said \"$(cat "$work/program.log")\""
  note "$label: exit code 1, \"$expected\""
}

if [[ $scenario == no-display ]]; then
  absent=$(free_display)
  expect_no_window "DISPLAY=$absent" "zelk-tunnel: sdl2: cannot open a window: the X display \"$absent\" does not answer" \
    -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY="$absent"
  expect_no_window "no DISPLAY" "zelk-tunnel: sdl2: cannot open a window: no display (DISPLAY is not set)" \
    -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u DISPLAY
  echo "PASS ($scenario)"
  exit 0
fi

start_display
case $scenario in
  box-escape | box-cancel | box-close)
    start_program "$assets"
    wait_for_box
    case $scenario in
      box-escape) press "$box" Escape ;;
      box-cancel)
        # SDL lays out OK and Cancel side by side, centred, near the bottom.
        xdotool mousemove --window "$box" $((box_width / 2 + 40)) $((box_height - 25)) click 1 ;;
      box-close) "$send_delete" "$box" || fail "could not send the close request" ;;
    esac
    expect_exit_0 5
    no_named_windows || fail "a window is left: $(windows_named '.')"
    note "no window was ever opened"
    ! grep -q 'PixelFormat Selected' "$work/program.log" || fail "a GL window was created"
    ;;

  box-sigterm)
    # Ended by SIGTERM while the box is up: the box goes with the program.
    start_program "$assets"
    wait_for_box
    kill -TERM "$program_pid"
    wait_until 5 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program ignored SIGTERM"
    wait_until 5 no_named_windows || fail "the box stays after SIGTERM: $(windows_named '.')"
    note "the program and its box are gone"
    ;;

  run-keys-escape)
    start_program "$assets"
    open_effect_window
    wait_for_rate_text
    grep -Eq '^PixelFormat Selected: [0-9]+$' "$work/program.log" || fail "no pixel-format line"
    count=$(rate_count_when "" 3 any_count)
    ((count > 127 * 16)) || fail "the default tunnel shows only $count triangles"
    screenshot_main 1000
    expect_texture
    press "$main" 1
    count=$(rate_count_when "$last_title" 3 eight_quads_a_ring) ||
      fail "\"1\" did not give 8 quads a ring: $(window_name)"
    note "after \"1\": $count triangles"
    press "$main" 4
    count=$(rate_count_when "$(window_name)" 3 sixty_four_quads_a_ring) ||
      fail "\"4\" did not give 64 quads a ring: $(window_name)"
    note "after \"4\": $count triangles"
    press "$main" space KP_Add minus
    count=$(rate_count_when "$(window_name)" 3 any_count) || fail "no frames after space"
    press "$main" Escape
    expect_exit_0 6
    no_named_windows || fail "a window is left after Escape"
    ;;

  window-close)
    start_program "$assets"
    open_effect_window
    wait_for_rate_text
    "$send_delete" "$main" || fail "could not send the close request"
    expect_exit_0 5
    no_named_windows || fail "a window is left after the close request"
    ;;

  no-texture)
    mkdir "$work/empty"
    start_program "$work/empty"
    open_effect_window
    wait_for_rate_text
    screenshot_main 40
    expect_checker
    press "$main" Escape
    expect_exit_0 6
    ;;

  no-gl-driver)
    # Mesa cannot load its driver, falls back to indirect GLX, and the server
    # refuses the context: after OK, the fatal box instead of the window.
    start_program "$assets" LIBGL_DRIVERS_PATH=/nonexistent
    wait_for_box
    press "$box" Return
    wait_until 15 fatal_box_up || fail "no fatal box after OK"
    read -r fatal _ < <(windows_named '^Fatal Blow$')
    expected='MessageBoxA: owner none, type 0x10, caption "Fatal Blow", text:'$'\n''Failed to create the effect window.'$'\n''--'
    wait_until 5 grep -q '^Failed to create' "$work/program.log" || fail "no trace of the fatal box"
    [[ "$(cat "$work/program.log")" == *"$expected"* ]] || fail "the fatal box text differs"
    ! find_window main >/dev/null || fail "an effect window is up beside the fatal box"
    ! grep -q 'X Error of failed request' "$work/program.log" || fail "Xlib's error dump"
    note "fatal box up: \"Failed to create the effect window.\" (Fatal Blow)"
    sleep 0.5
    press "$fatal" Return
    expect_exit_0 5
    no_named_windows || fail "a window is left after the fatal box"
    ;;

  *)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
