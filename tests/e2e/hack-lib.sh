# shellcheck shell=bash
# Helpers for the scenarios where a host starts the hack (hack-e2e.sh and
# ../install/mate-host.sh), sourced after xvfb-lib.sh: the hacks that
# $hack_user runs, and what the screen shows.

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
hack_pid() { hack_pids | head -n 1; }
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
