# shellcheck shell=bash
# Helpers for the scenarios where a host starts the hack (hack-e2e.sh,
# look-e2e.sh and ../install/mate-host.sh), on top of xvfb-lib.sh: the hacks
# that $hack_user runs, and what the screen shows.

# shellcheck source-path=SCRIPTDIR source=xvfb-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/xvfb-lib.sh"

# Hosts run no hack as root.
readonly hack_user=tunnel-e2e

# Ended, or a zombie: the daemon's helper that started it may exit first,
# leaving the reaping to init, whenever it gets to it.
has_ended() { [[ ! -e /proc/$1 || $(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) == Z ]]; }
# The hacks of this scenario: when $hack_exe is set, only those run from that
# file, as other scenarios (another build's tests) may run hacks as the same
# user at the same time.
hack_pids() {
  local pid
  for pid in $(pgrep -u "$hack_user" -x zelk-tunnel); do
    if [[ -n ${hack_exe:-} && $(readlink "/proc/$pid/exe" 2>/dev/null) != "$hack_exe" ]]; then
      continue
    fi
    has_ended "$pid" || echo "$pid"
  done
}
# awk, not head: head would leave after one line, and the pids after it
# would end hack_pids with SIGPIPE, which pipefail makes a failure.
hack_pid() { hack_pids | awk 'NR == 1'; }
hack_running() { [[ -n "$(hack_pid)" ]]; }
hacks_running() { (($(hack_pids | wc -l) == $1)); }

# $hack_user (made once; hosts run no hack as root) and a home of its own
# in the scratch folder, which that user may enter: sets $home.
make_hack_home() {
  id "$hack_user" >/dev/null 2>&1 || useradd -m "$hack_user" ||
    fail "cannot create the user $hack_user (the test must run as root)"
  home="$work/home"
  mkdir "$home"
  chmod o+x "$work"
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

# The rate the hack draws bottom left (--fps), read off a screenshot: the
# box's 31 rows from row $2 down, the text's colour made black on white and
# all else (box, tunnel) white, for the OCR, whose alphabet is the rate's.
# Prints what tesseract reads, spaces dropped; nothing if the picture could
# not be cut.
read_corner_rate() {
  local file=$1 top=$2
  rm -f "$work/corner.png"
  convert "$file" -crop "400x31+0+$top" +repage -fuzz 3% -fill 'rgb(1,2,3)' -opaque 'rgb(255,255,230)' \
    -fuzz 0 -fill white +opaque 'rgb(1,2,3)' -fill black -opaque 'rgb(1,2,3)' -scale 400% \
    -bordercolor white -border 20 "$work/corner.png" 2>/dev/null || return 0
  tesseract "$work/corner.png" - --psm 7 -c tessedit_char_whitelist='0123456789.fpstri()' 2>/dev/null |
    tr -d ' \n'
}

# Runs a command as $hack_user in $home on $DISPLAY with a clean environment,
# plus the words of user_env (VAR=value) where a scenario sets them.
user_env=()
run_as_user() {
  runuser -u "$hack_user" -- env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" \
    ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} "${user_env[@]}" "$@"
}

# ~/.xscreensaver for $hack_user: one mode, no lock, splash or fade, never
# blanking by itself; the hack's command line is $1, further settings lines
# come on standard input.
write_daemon_settings() {
  local command=$1
  {
    printf '%s\n' "mode:		one" "selected:	0" "lock:		False" "splash:		False" \
      "fade:		False" "unfade:		False" "timeout:	1:00:00" "cycle:		0:00:00" \
      "dpmsEnabled:	False"
    cat
    printf 'programs:\tGL: "Zelk'\''s little tunnel" %s \\n\n' "$command"
  } >"$home/.xscreensaver"
  chown -R "$hack_user" "$home"
}

# Starts the daemon as $hack_user (the arguments, if any, go before it: env
# VAR=value ...) and waits until it answers; stop_daemon ends it.
daemon_pid=
launch_daemon() {
  (cd "$home" && run_as_user "$@" xscreensaver --no-splash --verbose) >"$work/daemon.log" 2>&1 &
  daemon_pid=$!
  show_on_failure "$work/daemon.log" "the daemon's log" 30
  wait_until 20 run_as_user xscreensaver-command -time >/dev/null 2>&1 || fail "the daemon did not start"
}
stop_daemon() {
  [[ -n "$daemon_pid" ]] || return 0
  run_as_user xscreensaver-command -exit >/dev/null 2>&1 || true
  wait_until 5 bash -c "! kill -0 $daemon_pid 2>/dev/null" || kill "$daemon_pid" 2>/dev/null || true
  wait "$daemon_pid" 2>/dev/null || true
}
