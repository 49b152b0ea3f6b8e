#!/usr/bin/env bash
# The program as an XScreenSaver hack, in an X server of its own, one
# scenario per way a hack is started:
#   hack-e2e.sh SCENARIO HACK TEST-WINDOW DEMO-JPG ARTIFACT-DIR
#   daemon     Debian's XScreenSaver daemon, run by an ordinary user, starts
#              it with --root on the daemon's own window and ends it
#   root       --root --fps without XSCREENSAVER_WINDOW: the root window, the
#              rate on stdout, SIGTERM ends it
#   window-id  --window-id on another program's window (test-window): the
#              picture follows the window's size, its destruction ends the
#              hack; an id that names no window fails with one line
# We check what a user would see: pixels, processes, exit codes, output.
set -euo pipefail

scenario=$1
exe=$(realpath "$2")
test_window=$(realpath "$3")
texture=$(realpath "$4")
artifacts=$5
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")

# shellcheck source-path=SCRIPTDIR source=xvfb-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/xvfb-lib.sh"
show_on_failure "$work/stderr" "the hack's standard error" 20

readonly hack_user=tunnel-e2e
daemon_pid=
window_pid=

stop_program() {
  end_program -KILL "$program_pid"
  if [[ -n "$daemon_pid" ]]; then
    run_as_user xscreensaver-command -exit >/dev/null 2>&1 || true
    wait_until 5 bash -c "! kill -0 $daemon_pid 2>/dev/null" || kill "$daemon_pid" 2>/dev/null || true
    wait "$daemon_pid" 2>/dev/null || true
  fi
  if [[ -n "$window_pid" ]]; then
    kill "$window_pid" 2>/dev/null || true
    wait "$window_pid" 2>/dev/null || true
  fi
}

# The hack and its texture as installed: <prefix>/bin and <prefix>/share.
install_hack() {
  local prefix=$1
  mkdir -p "$prefix/bin" "$prefix/share/zelk-tunnel"
  cp "$exe" "$prefix/bin/zelk-tunnel"
  cp "$texture" "$prefix/share/zelk-tunnel/Demo.jpg"
}

# Starts the hack with the given arguments from an empty folder (the texture
# comes from the installed copy), output to files.
start_hack() {
  install_hack "$work/prefix"
  mkdir -p "$work/cwd"
  (cd "$work/cwd" && exec env -u XSCREENSAVER_WINDOW "$work/prefix/bin/zelk-tunnel" "$@") \
    >"$work/stdout" 2>"$work/stderr" &
  program_pid=$!
}

# Distinct colours of a window's picture, or of a part of it (WxH+X+Y): the
# textured tunnel has well over a thousand, a black or blank window one.
colours() {
  local window=$1 crop=${2:-} file="$work/shot.png"
  import -silent -window "$window" "$file" 2>/dev/null || { echo 0; return; }
  if [[ -n "$crop" ]]; then
    convert "$file" -crop "$crop" +repage "$work/part.png"
    file="$work/part.png"
  fi
  identify -format '%k' "$file"
}

textured() { (($(colours "$@") >= 1000)); }

# Keeps the last picture that colours read.
keep_screenshot() { cp "$work/shot.png" "$artifacts/$scenario-$1.png"; }

run_as_user() {
  runuser -u "$hack_user" -- env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" \
    ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} "$@"
}

# Ended, or a zombie: the daemon's helper that started it may exit first,
# leaving the reaping to init, whenever it gets to it.
has_ended() { [[ ! -e /proc/$1 || $(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) == Z ]]; }
hack_pid() {
  local pid
  for pid in $(pgrep -u "$hack_user" -x zelk-tunnel); do
    has_ended "$pid" || { echo "$pid"; return; }
  done
}
hack_running() { [[ -n "$(hack_pid)" ]]; }

start_display
case $scenario in
  daemon)
    # XScreenSaver runs no hack as root: the daemon is an ordinary user's.
    id "$hack_user" >/dev/null 2>&1 || useradd -m "$hack_user" ||
      fail "cannot create the user $hack_user (the test must run as root)"
    home="$work/home"
    mkdir "$home"
    chmod o+x "$work"
    install_hack "$home"
    cat >"$home/.xscreensaver" <<CONFIG
mode:		one
selected:	0
lock:		False
splash:		False
fade:		False
unfade:		False
timeout:	1:00:00
cycle:		0:00:00
dpmsEnabled:	False
programs:	GL: "Zelk's little tunnel" $home/bin/zelk-tunnel --root \\n
CONFIG
    chown -R "$hack_user" "$home"
    (cd "$home" && run_as_user xscreensaver --no-splash --verbose) >"$work/daemon.log" 2>&1 &
    daemon_pid=$!
    show_on_failure "$work/daemon.log" "the daemon's log" 30
    wait_until 20 run_as_user xscreensaver-command -time >/dev/null 2>&1 || fail "the daemon did not start"
    note "daemon up as $hack_user"

    run_as_user xscreensaver-command -activate >/dev/null
    wait_until 20 hack_running || fail "the daemon started no zelk-tunnel"
    pid=$(hack_pid)
    args=$(tr '\0' ' ' <"/proc/$pid/cmdline")
    [[ $args == "$home/bin/zelk-tunnel --root " ]] || fail "started as: $args"
    saver_window=$(tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
    [[ -n "$saver_window" ]] || fail "no XSCREENSAVER_WINDOW for the hack"
    note "the daemon started: $args(pid $pid, window $saver_window)"
    wait_until 15 textured root || fail "the screen shows $(colours root) colours, not the tunnel"
    keep_screenshot screen
    note "the screen shows the textured tunnel ($(identify -format '%k' "$work/shot.png") colours)"

    run_as_user xscreensaver-command -deactivate >/dev/null
    wait_until 2 has_ended "$pid" || fail "zelk-tunnel still runs 2 s after -deactivate"
    note "-deactivate ended it within 2 s"
    ;;

  root)
    start_hack --root --fps
    wait_until 15 textured root || fail "the root window shows $(colours root) colours, not the tunnel"
    keep_screenshot screen
    note "the root window shows the textured tunnel"
    wait_until 5 grep -Eq "$rate_pattern" "$work/stdout" || fail "no rate on stdout"
    first=$(grep -Ec "$rate_pattern" "$work/stdout")
    sleep 3
    lines=$(grep -Ec "$rate_pattern" "$work/stdout")
    ((lines - first >= 2 && lines - first <= 4)) || fail "$((lines - first)) rate lines in 3 s"
    [[ $(grep -Evc "$rate_pattern" "$work/stdout") == 0 ]] || fail "stdout holds more than the rate"
    note "stdout: a rate line a second, e.g. \"$(tail -n 1 "$work/stdout")\""
    kill -TERM "$program_pid"
    expect_exit_0 1
    [[ ! -s "$work/stderr" ]] || fail "the hack wrote to stderr"
    ;;

  window-id)
    coproc window_helper { exec "$test_window" 400 300; }
    window_pid=$window_helper_PID
    read -r -t 10 window <&"${window_helper[0]}" || fail "the test window did not appear"
    start_hack --window-id "$window"
    wait_until 15 textured "$window" || fail "the window shows $(colours "$window") colours, not the tunnel"
    note "drawing on window $window (400x300)"
    echo "size 640 360" >&"${window_helper[1]}"
    # The new right-hand and top parts are drawn only if the viewport followed.
    wait_until 5 eval '(($(colours "$window" 240x360+400+0) >= 200 && $(colours "$window" 640x60+0+0) >= 200))' ||
      fail "the picture did not follow the window to 640x360"
    keep_screenshot resized
    note "the picture fills the window resized to 640x360"
    [[ ! -s "$work/stdout" ]] || fail "output without --fps: $(head -n 1 "$work/stdout")"
    echo destroy >&"${window_helper[1]}"
    expect_exit_0 1
    [[ ! -s "$work/stderr" ]] || fail "the hack wrote to stderr"

    code=0
    "$exe" --window-id 0x7fffffe >"$work/stdout" 2>"$work/stderr" || code=$?
    ((code == 1)) || fail "exit code $code for a window that does not exist"
    [[ $(wc -l <"$work/stderr") == 1 && $(cat "$work/stderr") == *0x7fffffe* ]] ||
      fail "expected one line naming the window, got: $(cat "$work/stderr")"
    note "no such window: exit 1, \"$(cat "$work/stderr")\""
    ;;

  *)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
