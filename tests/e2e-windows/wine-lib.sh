# shellcheck shell=bash
# What the Windows scenarios share, sourced with the scenario's arguments:
#   SCENARIO path/to/tunnel.exe path/to/Demo.jpg WINEPREFIX path/to/preview-parent.exe
# An X server of the scenario's own (xvfb-lib.sh), the prefix exported for
# every wine call, Wine's output shown on failure.
scenario=$1
tunnel_exe=$(realpath "$2")
texture=$3
export WINEPREFIX=$4
preview_parent=$(realpath "$5")
export WINEDLLOVERRIDES="mscoree,mshtml="

# shellcheck source-path=SCRIPTDIR source=../e2e/xvfb-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../e2e/xvfb-lib.sh"
show_on_failure "$work/wine.log" "Wine's output" 40

# The preview's parent window, when a scenario starts one.
parent_pid=

# Ends a helper the scenario started in the background, if it did.
end_helper() {
  [[ -n "$1" ]] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# Runs the scenario's run_scenario in the prefix, making the prefix first if
# it is new (about ten seconds), and says PASS when it returns.
run_in_prefix() {
  [[ -f "$tunnel_exe" ]] || fail "no program at $tunnel_exe"
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "== creating the Wine prefix $WINEPREFIX"
    WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || fail "wineboot failed"
    WINEDEBUG=-all wineserver --wait || true
  fi
  echo "== $scenario"
  run_scenario
  echo "PASS ($scenario)"
}
