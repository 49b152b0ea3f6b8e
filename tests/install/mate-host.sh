#!/usr/bin/env bash
# MATE's screensaver as the host of the installed hack: run as root while
# the package is installed (install-test.sh package calls it):
#   mate-host.sh ARTIFACT-DIR
# An ordinary user's D-Bus session in an Xvfb: the hack chosen through
# gsettings by its desktop file's name, mate-screensaver activated; the hack
# runs from /usr/libexec/xscreensaver and the screen shows the tunnel.
set -euo pipefail

artifacts=$1
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")
scenario=mate-host

# shellcheck source-path=SCRIPTDIR source=../e2e/hack-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../e2e/hack-lib.sh"
show_on_failure "$work/session.log" "the session's log (mate-screensaver --debug)" 30

session_pid=
stop_program() {
  if [[ -n "$session_pid" ]]; then
    { echo end >&"${session[1]}"; } 2>/dev/null || true
    wait_until 5 bash -c "! kill -0 $session_pid 2>/dev/null" || kill "$session_pid" 2>/dev/null || true
    wait "$session_pid" 2>/dev/null || true
  fi
  local pid
  for pid in $(hack_pids); do kill -KILL "$pid" 2>/dev/null || true; done
}

# The host's part, in the user's session: settings, the daemon, then one
# command a line from standard input (activate, deactivate, end), each
# answered by a "session: " line; the bus's services may print as well.
read -r -d '' session_script <<'SESSION' || true
set -u
gsettings set org.mate.screensaver themes "['screensavers-zelk-tunnel']"
gsettings set org.mate.screensaver mode single
gsettings set org.mate.screensaver lock-enabled false
gsettings set org.mate.screensaver idle-activation-enabled false
mate-screensaver --no-daemon --debug >>"$HOME/session.log" 2>&1 &
for _ in $(seq 100); do
  mate-screensaver-command --query >/dev/null 2>&1 && break
  sleep 0.1
done
echo "session: ready"
while read -r command; do
  case $command in
    activate) mate-screensaver-command --activate >/dev/null 2>&1; echo "session: done" ;;
    deactivate) mate-screensaver-command --deactivate >/dev/null 2>&1; echo "session: done" ;;
    end) break ;;
  esac
done
mate-screensaver-command --exit >/dev/null 2>&1
wait
SESSION

session_says() {
  local line
  while read -r -t 20 line <&"${session[0]}"; do
    [[ $line != "session: "* ]] || { [[ $line == "session: $1" ]]; return; }
  done
  return 1
}
ask() {
  echo "$1" >&"${session[1]}"
  session_says "done" || fail "the session did not $1"
}

entry=/usr/share/applications/screensavers/zelk-tunnel.desktop
[[ $(sed -n 's/^Exec=//p' "$entry") == "/usr/libexec/xscreensaver/zelk-tunnel --root" ]] ||
  fail "$entry runs \"$(sed -n 's/^Exec=//p' "$entry")\""

start_display
make_hack_home
touch "$work/session.log"
ln -s "$work/session.log" "$home/session.log"
chown -R "$hack_user" "$home" "$work/session.log"
# HOME is set before the session starts: dconf, started by the session's
# bus, writes the settings under it.
coproc session {
  exec runuser -u "$hack_user" -- env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" NO_AT_BRIDGE=1 \
    dbus-run-session -- bash -c "$session_script" 2>>"$work/session.log"
}
session_pid=$session_PID
session_says ready || fail "mate-screensaver did not start"
note "mate-screensaver up in $hack_user's D-Bus session"

ask activate
wait_until 20 hack_running || fail "mate-screensaver started no zelk-tunnel"
pid=$(hack_pid)
args=$(tr '\0' ' ' <"/proc/$pid/cmdline")
[[ $args == "/usr/libexec/xscreensaver/zelk-tunnel --root " ]] || fail "started as: $args"
note "mate-screensaver started: $args(pid $pid)"
wait_until 15 textured root || fail "the screen shows $(colours root) colours, not the tunnel"
cp "$work/shot.png" "$artifacts/mate-host-screen.png"
note "the screen shows the textured tunnel"

ask deactivate
wait_until 5 has_ended "$pid" || fail "zelk-tunnel still runs 5 s after --deactivate"
note "--deactivate ended it"
echo "PASS ($scenario)"
