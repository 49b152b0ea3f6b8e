# shellcheck shell=bash
# Helpers for the end-to-end scenarios, sourced by tunnel-e2e.sh (Linux) and
# ../e2e-windows/run-e2e.sh (Wine): the program's captions, a scratch folder,
# an Xvfb on a free display, polling, failing and cleaning up.
# The sourcing script has set $scenario; it defines stop_program (ends what
# it started, called at exit) and names its program's output with
# show_on_failure.

readonly title="Zelk's little tunnel"
readonly rate_pattern="^Zelk's little tunnel - [0-9.e+]+ fps \(([0-9]+) tri\)$"

work=$(mktemp -d)
xvfb_pid=
program_pid=
program_log=
program_log_title=
program_log_lines=

# The output that fail shows the end of: file, heading, number of lines.
show_on_failure() {
  program_log=$1
  program_log_title=$2
  program_log_lines=$3
}

# Ends the program if it still runs: kill with the given arguments, then reap.
end_program() {
  if [[ -n "$program_pid" ]] && kill -0 "$program_pid" 2>/dev/null; then
    kill "$@" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
}

cleanup() {
  stop_program
  if [[ -n "$xvfb_pid" ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# set -e ends a scenario at any command that fails unchecked; say which, so
# that no run fails without a word. Only the scenario's own shell speaks: a
# command substitution's failures are its caller's to judge.
report_unchecked_failure() {
  local status=$?
  [[ $BASHPID == "$$" ]] || return "$status"
  echo "FAIL ($scenario): \`$BASH_COMMAND\` exited $status (line ${BASH_LINENO[0]} of ${BASH_SOURCE[1]##*/})" >&2
  return "$status"
}
set -o errtrace
trap report_unchecked_failure ERR

fail() {
  echo "FAIL ($scenario): $*" >&2
  if [[ -n "$program_log" && -s "$program_log" ]]; then
    echo "--- $program_log_title:" >&2
    tail -n "$program_log_lines" "$program_log" >&2
  fi
  exit 1
}

note() { echo "  $*"; }

# Polls a command every 0.1 s until it succeeds; false once the timeout (in
# seconds, wall-clock: slow commands count) has passed.
wait_until() {
  local seconds=$1
  shift
  local deadline
  deadline=$(awk -v now="$EPOCHREALTIME" -v s="$seconds" 'BEGIN { printf "%.6f", now + s }')
  while true; do
    if "$@"; then
      return 0
    fi
    awk -v now="$EPOCHREALTIME" -v d="$deadline" 'BEGIN { exit !(now < d) }' || return 1
    sleep 0.1
  done
}

# -noreset: without it the server resets whenever its last client goes, and
# our short-lived polling clients (xwininfo, xprop, xdotool) come and go all
# the time; a program connecting during a reset is refused. The screen's
# size is 1024x768 unless given (WxH).
start_display() {
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_until 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n 1 "$work/display")"
}

program_running() { kill -0 "$program_pid" 2>/dev/null; }

# Waits for the program to end and checks its exit code is 0.
expect_exit_0() {
  local seconds=$1
  wait_until "$seconds" bash -c "! kill -0 $program_pid 2>/dev/null" ||
    fail "the program still runs after $seconds s"
  local code=0
  wait "$program_pid" || code=$?
  program_pid=
  [[ $code -eq 0 ]] || fail "exit code $code, expected 0"
  note "ended with exit code 0"
}

# "ID WIDTH HEIGHT" of each top-level window whose name matches the pattern.
# xwininfo reads names whatever their encoding (SDL sets them as UTF-8).
windows_named() {
  local pattern=$1 line
  while IFS= read -r line; do
    if [[ $line =~ ^[[:space:]]*(0x[0-9a-f]+)\ \"(.*)\":\ \(.*\)\ +([0-9]+)x([0-9]+)\+ ]]; then
      local id=${BASH_REMATCH[1]} name=${BASH_REMATCH[2]} size="${BASH_REMATCH[3]} ${BASH_REMATCH[4]}"
      if [[ $name =~ $pattern ]]; then
        echo "$id $size"
      fi
    fi
  done < <(xwininfo -root -children 2>/dev/null || true)
}

# A dialog by its window type: SDL marks its message boxes so.
is_dialog() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG; }
