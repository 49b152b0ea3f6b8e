#!/usr/bin/env bash
# The viewer's look, end to end, in an X server of its own:
#   look-e2e.sh SCENARIO TUNNEL ARTIFACT-DIR SWAP-COUNTER
#   png-quads       the program with --texture (a 3000 x 2000 PNG) and
#                   --quads 8: after the box, the title counts eight quads a
#                   ring and the window shows the picture's colours
#   broken-picture  --texture naming a PNG cut short: the checker, and one
#                   line on stderr naming the file and the reason
#   bad-value       --quads 12: one line naming the option, exit code 2, and
#                   no window at all
#   daemon          Debian's XScreenSaver daemon, run by a user whose
#                   ~/.xscreensaver runs the hack with look settings and
#                   "Pictures from XScreenSaver's image folder", with an
#                   image folder of two pictures: the hack gets the settings
#                   (its command line, eight quads in the rate it draws) and
#                   one of the two pictures is on the screen
# Each picture is of one hue, which the tunnel's shading keeps: a screen in
# that hue shows that picture, not Demo.jpg or the grey checker. Pictures on
# the screen are read only after the process under test has drawn: the
# program once its title shows a rate (a second of its frames), the hack
# once it has swapped (SWAP-COUNTER, preloaded: it calls GLX itself, where
# SDL would look the call up past the preload), in an X server no other
# program drew on.
set -euo pipefail

scenario=$1
exe=$(realpath "$2")
artifacts=$3
swap_counter=$(realpath "$4")
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")

# shellcheck source-path=SCRIPTDIR source=hack-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/hack-lib.sh"
show_on_failure "$work/stderr" "the program's standard error" 20

stop_program() {
  # SDL's message box runs in a forked child: end the whole process group.
  [[ -z "$program_pid" ]] || end_program -KILL -- "-$program_pid"
  stop_daemon
}

# Buffer swaps so far of the process preloaded with the counter.
swaps() { [[ -s "$work/swaps" ]] && od -An -tu8 "$work/swaps" | tr -d ' ' || echo 0; }
swapped() { (($(swaps) >= $1)); }

# A picture of one hue: a gradient from light to dark, so the walls still
# show its rows.
make_picture() {
  local file=$1 size=$2 light=$3 dark=$4
  convert -size "$size" "gradient:$light-$dark" -depth 8 "$file" || fail "convert could not make $file"
}

# Shares of the pixels of a screenshot that are clearly orange-red (red
# above green above blue) and clearly blue (blue above green above red):
# "RED BLUE", fractions of all its pixels.
hue_shares() {
  convert "$1" -scale '200x150!' -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk '{ n++; if ($1 > $3 + 40 && $1 >= $2) r++; else if ($3 > $1 + 40 && $3 >= $2) b++ }
         END { printf "%.3f %.3f\n", r / n, b / n }'
}

# The greyest a screenshot's pixels get from grey: 0 for the checker.
max_chroma() {
  convert "$1" -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk '{ hi = $1; lo = $1; for (i = 2; i <= 3; i++) { if ($i > hi) hi = $i; if ($i < lo) lo = $i }
           if (hi - lo > m) m = hi - lo } END { print m + 0 }'
}

# Starts the program as the leader of a process group.
start_program() {
  (exec setsid "$exe" "$@") >"$work/stdout" 2>"$work/stderr" &
  program_pid=$!
}

# The program's own lines on stderr (the GL set-up prints others).
own_lines() { grep '^zelk-tunnel: ' "$work/stderr" || true; }

# The box or the effect window: they share the name, the box is a dialog.
find_window() {
  local want=$1 id
  while read -r id _; do
    [[ -n "$id" ]] || continue
    if is_dialog "$id"; then
      [[ $want == box ]] && { echo "$id"; return 0; }
    else
      [[ $want == main ]] && { echo "$id"; return 0; }
    fi
  done < <(windows_named "^${title}\$|^${title} - ")
  return 1
}
window_name() { xwininfo -id "$1" 2>/dev/null | sed -n 's/^xwininfo: Window id: 0x[0-9a-f]* "\(.*\)"$/\1/p'; }

# Past the warning box to the effect window: sets $main.
open_effect_window() {
  wait_until 20 find_window box >/dev/null || fail "no warning box appeared"
  local box
  box=$(find_window box)
  sleep 0.5  # SDL's box is drawn once mapped
  xdotool windowfocus --sync "$box" 2>/dev/null || xdotool windowfocus "$box"
  xdotool key Return
  wait_until 15 find_window main >/dev/null || fail "no effect window after OK"
  main=$(find_window main)
  note "effect window $main up"
}

# Waits for the title's rate text; prints its triangle count.
title_triangles() {
  local name
  name=$(window_name "$main")
  [[ $name =~ $rate_pattern ]] && echo "${BASH_REMATCH[1]}"
}
eight_quads_a_ring() { (($1 > 0 && $1 % 16 == 0 && $1 <= 127 * 16)); }

# Every program the user runs counts its swaps into one file.
user_env=(LD_PRELOAD="$swap_counter" SWAP_COUNT_FILE="$work/swaps")

start_display 1024x768
case $scenario in
  png-quads)
    make_picture "$work/photo.png" 3000x2000 '#ff8000' '#801000'
    start_program --texture "$work/photo.png" -quads 8
    open_effect_window
    # The first title with a rate comes a second after the first frame.
    wait_until 10 eval 'title_triangles >/dev/null' || fail "no rate in the title: $(window_name "$main")"
    triangles=$(title_triangles)
    eight_quads_a_ring "$triangles" || fail "the title counts $triangles triangles: not 8 quads a ring"
    note "title \"$(window_name "$main")\": 8 quads a ring"
    import -window "$main" "$artifacts/$scenario-window.png" || fail "no screenshot"
    read -r red blue < <(hue_shares "$artifacts/$scenario-window.png")
    awk -v r="$red" -v b="$blue" 'BEGIN { exit !(r >= 0.5 && b < 0.01) }' ||
      fail "the window is $red orange-red and $blue blue: not the picture"
    note "the window shows the picture: $red of it orange-red"
    [[ -z $(own_lines) ]] || fail "the program said: $(own_lines)"
    xdotool key Escape
    expect_exit_0 8
    ;;

  broken-picture)
    make_picture "$work/photo.png" 300x200 '#ff8000' '#801000'
    head -c 100 "$work/photo.png" >"$work/cut.png"
    start_program --texture "$work/cut.png"
    open_effect_window
    wait_until 10 eval 'title_triangles >/dev/null' || fail "no rate in the title: $(window_name "$main")"
    import -window "$main" "$artifacts/$scenario-window.png" || fail "no screenshot"
    chroma=$(max_chroma "$artifacts/$scenario-window.png")
    colours=$(identify -format '%k' "$artifacts/$scenario-window.png")
    ((chroma == 0 && colours >= 20)) ||
      fail "the window has $colours colours, some $chroma from grey: not the shaded checker"
    note "the shaded checker: $colours greys"
    expected="zelk-tunnel: cannot show the picture $work/cut.png: corrupt or truncated PNG data"
    [[ $(own_lines) == "$expected" ]] || fail "stderr is not the one line \"$expected\""
    note "stderr: \"$expected\""
    xdotool key Escape
    expect_exit_0 8
    ;;

  bad-value)
    start_program --texture "$work/any.png" --quads 12
    expect_exit_2() {
      wait_until 5 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "still running"
      local code=0
      wait "$program_pid" || code=$?
      program_pid=
      ((code == 2)) || fail "exit code $code, expected 2"
    }
    expect_exit_2
    [[ $(cat "$work/stderr") == "zelk-tunnel: --quads takes 8, 16, 32 or 64, not '12'" ]] ||
      fail "stderr: $(cat "$work/stderr")"
    [[ -z "$(windows_named '.')" ]] || fail "a window was opened: $(windows_named '.')"
    note "exit 2, \"$(cat "$work/stderr")\", no window"
    ;;

  daemon)
    make_hack_home
    mkdir -p "$home/bin" "$home/Pictures/trip" "$home/.cache"
    cp "$exe" "$home/bin/zelk-tunnel"
    hack_exe="$home/bin/zelk-tunnel"  # another build's tests may run hacks too
    make_picture "$home/Pictures/orange.png" 1200x900 '#ff8000' '#801000'
    make_picture "$home/Pictures/trip/blue.jpg" 1200x900 '#2080ff' '#001080'
    echo "not a picture" >"$home/Pictures/notes.txt"
    settings="--root --shape rippled --speed 2 --focal -1 --quads 8 --fps --saver-pictures"
    # As xscreensaver-settings writes it, "Image Manipulation" included.
    write_daemon_settings "$home/bin/zelk-tunnel $settings" <<SETTINGS
grabDesktopImages:	False
grabVideoFrames:	False
chooseRandomImages:	True
imageDirectory:	$home/Pictures
SETTINGS
    touch "$work/swaps"
    chown "$hack_user" "$work/swaps"
    launch_daemon
    before=$(swaps)
    run_as_user xscreensaver-command -activate >/dev/null
    wait_until 20 hack_running || fail "the daemon started no zelk-tunnel"
    pid=$(hack_pid)
    args=$(tr '\0' ' ' <"/proc/$pid/cmdline")
    [[ $args == "$home/bin/zelk-tunnel $settings " ]] || fail "started as: $args"
    note "the daemon started: $args"
    wait_until 20 swapped $((before + 2)) || fail "the hack never swapped"
    import -silent -window root "$artifacts/$scenario-screen.png" || fail "no screenshot"
    read -r red blue < <(hue_shares "$artifacts/$scenario-screen.png")
    if awk -v r="$red" -v b="$blue" 'BEGIN { exit !(r >= 0.4 && b < 0.01) }'; then
      note "the screen shows orange.png ($red of it orange-red)"
    elif awk -v r="$red" -v b="$blue" 'BEGIN { exit !(b >= 0.4 && r < 0.01) }'; then
      note "the screen shows trip/blue.jpg ($blue of it blue)"
    else
      fail "the screen is $red orange-red and $blue blue: neither picture"
    fi

    # The rate it draws (--fps), read back: eight quads a ring. The OCR may
    # drop a digit now and then, so a few readings; the default 64 quads
    # would give four-digit counts above 127 x 16.
    readings=
    for _ in 1 2 3 4 5; do
      sleep 1.1
      import -silent -window root "$work/rate.png" 2>/dev/null || continue
      text=$(read_corner_rate "$work/rate.png" 737)
      [[ $text =~ fps\(?([0-9]+)tri ]] || continue
      count=${BASH_REMATCH[1]}
      ((count <= 127 * 16)) || fail "the corner reads \"$text\": more than 8 quads a ring"
      readings+="$count "
    done
    good=0
    for count in $readings; do eight_quads_a_ring "$count" && good=$((good + 1)); done
    ((good >= 1)) || fail "no reading of the rate shows 8 quads a ring: ${readings:-none}"
    note "the rate drawn counts ${readings}triangles: 8 quads a ring"
    cp "$work/rate.png" "$artifacts/$scenario-rate.png"

    run_as_user xscreensaver-command -deactivate >/dev/null
    wait_until 2 has_ended "$pid" || fail "zelk-tunnel still runs 2 s after -deactivate"
    ;;

  *)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
