#!/usr/bin/env bash
# The program as a user gets it, installed, not from the build folder:
#   install-test.sh relocated BUILD-DIR VERSION SEND-DELETE-WINDOW ARTIFACT-DIR
#     cmake --install to a prefix, move the prefix, start the moved program;
#   install-test.sh package DEB-FILE VERSION SEND-DELETE-WINDOW ARTIFACT-DIR
#     (root) apt-get install the package, check its menu entry, metadata and
#     manual page, start the menu command from a home folder, run the
#     package's autopkgtest and a Wayland-only session, then purge it and
#     check that nothing of it is left.
# Either way the program starts in a folder without Demo.jpg and must show
# its installed texture, not the checker.
set -euo pipefail

mode=$1
source_path=$(realpath "$2")
version=$3
send_delete=$(realpath "$4")
artifacts=$5
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
scenario="install-$mode"

# shellcheck source-path=SCRIPTDIR source=../e2e/xvfb-lib.sh
source "$here/../e2e/xvfb-lib.sh"
installed() { [[ "$(dpkg-query -W -f='${Status}' zelk-tunnel 2>/dev/null)" == "install ok installed" ]]; }
stop_program() {
  # The machine's package state is shared: never leave the package behind.
  if [[ $mode == package ]] && installed; then
    apt-get purge -y -qq zelk-tunnel >/dev/null 2>&1 || true
  fi
}

# What the command line answers, for the program at $1 whose installed
# texture is $2.
check_command_line() {
  local program=$1 texture=$2 out code
  out=$("$program" --help) || fail "--help exited with $?"
  [[ $out == "Usage: zelk-tunnel "* ]] || fail "--help does not start with the usage: ${out%%$'\n'*}"
  [[ $out == *"$texture"* ]] || fail "--help does not name $texture"
  out=$("$program" --version) || fail "--version exited with $?"
  [[ ${out%%$'\n'*} == "zelk-tunnel $version" ]] || fail "--version says \"${out%%$'\n'*}\""
  [[ $out == *"Copyright (c) 2026 Zelk's little tunnel developers"*"MIT License"* ]] ||
    fail "--version names no copyright and licence: $out"
  code=0
  "$program" --no-such-option >"$work/out" 2>"$work/err" || code=$?
  ((code == 2)) || fail "an unknown option exited with $code, expected 2"
  [[ ! -s "$work/out" && $(wc -l <"$work/err") -eq 1 ]] || fail "an unknown option: not one line on stderr"
  grep -q -- --no-such-option "$work/err" || fail "the error does not name the option: $(cat "$work/err")"
  note "--help names $texture, --version with the licence, unknown option: exit 2"
}

# The XScreenSaver hack under the prefix $1 (installed to the prefix $2): a
# relative link to the program where Debian's XScreenSaver looks for hacks,
# its well-formed description, and the screensaver entry MATE lists it by.
check_hack_files() {
  local prefix=$1 installed_to=$2 problems
  local link="$prefix/libexec/xscreensaver/zelk-tunnel"
  local config="$prefix/share/xscreensaver/config/zelk-tunnel.xml"
  local entry="$prefix/share/applications/screensavers/zelk-tunnel.desktop"
  [[ -L $link && $(readlink "$link") != /* ]] || fail "$link is not a relative link"
  [[ $(realpath "$link") == "$(realpath "$prefix/bin/zelk-tunnel")" ]] || fail "$link leads to $(realpath "$link")"
  xmllint --noout "$config" || fail "$config is not well-formed"
  grep -q '<command arg="--root"/>' "$config" || fail "$config does not start the hack with --root"
  grep -q 'arg="--delay %"' "$config" || fail "$config has no delay slider"
  # Its category is no main one, as with Debian's own: that hint alone is allowed.
  problems=$(desktop-file-validate "$entry" 2>&1 | grep -v ': hint: ' || true)
  [[ -z $problems ]] || fail "desktop-file-validate $entry: $problems"
  [[ $(sed -n 's/^Exec=//p' "$entry") == "$installed_to/libexec/xscreensaver/zelk-tunnel --root" ]] ||
    fail "$entry runs \"$(sed -n 's/^Exec=//p' "$entry")\""
  grep -qx 'Categories=Screensaver;' "$entry" && grep -qx 'OnlyShowIn=MATE;XFCE;' "$entry" ||
    fail "$entry is not a screensaver entry for MATE and Xfce only"
  note "hack $link -> $(readlink "$link"), description $config, entry $entry"
}

# The end-to-end scenarios of the program at $1, started in the folder $2.
run_scenarios() {
  local program=$1 folder=$2 name
  shift 2
  for name in "$@"; do
    "$here/../e2e/tunnel-e2e.sh" "$name" "$program" "$send_delete" "$folder" "$artifacts/$mode" |
      sed 's/^/  /' || fail "scenario $name"
  done
}

mkdir -p "$work/home"
case $mode in
  relocated)
    echo "== install to a prefix, then move it"
    cmake --install "$source_path" --prefix "$work/first" >/dev/null
    mv "$work/first" "$work/moved"
    check_command_line "$work/moved/bin/zelk-tunnel" "$work/moved/share/zelk-tunnel/Demo.jpg"
    check_hack_files "$work/moved" "$work/first"
    echo "== start the moved program"
    run_scenarios "$work/moved/bin/zelk-tunnel" "$work/home" run-keys-escape
    ;;

  package)
    [[ $(id -u) -eq 0 ]] || fail "installing a package needs root"
    ! installed || fail "zelk-tunnel is installed already; purge it first"
    echo "== install $(basename "$source_path")"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$source_path" >"$work/apt.log" 2>&1 ||
      { cat "$work/apt.log" >&2; fail "apt-get install failed"; }
    mapfile -t owned < <(dpkg -L zelk-tunnel)

    echo "== the menu entry, its icon, the metadata and the manual page"
    desktop=$(printf '%s\n' "${owned[@]}" | grep '^/usr/share/applications/[^/]*\.desktop$')
    desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
    command=$(sed -n 's/^Exec=//p' "$desktop")
    [[ $(command -v "$command") == /usr/bin/zelk-tunnel ]] || fail "the menu runs \"$command\""
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    sizes=()
    for file in /usr/share/icons/hicolor/*/apps/"$icon".png; do
      [[ -f $file ]] || fail "no icon $icon in the hicolor theme"
      size=$(identify -format '%wx%h' "$file")
      [[ $file == */"$size"/apps/* ]] || fail "$file is $size"
      sizes+=("$size")
    done
    metainfo=$(printf '%s\n' "${owned[@]}" | grep '^/usr/share/metainfo/.*\.metainfo\.xml$')
    appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" ||
      { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
    page=$(man -w 6 zelk-tunnel) || fail "man 6 zelk-tunnel finds no page"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "the manual page has warnings: $warnings"
    note "menu entry runs $command, icon at ${sizes[*]}, metadata valid, $page"
    check_command_line "$command" /usr/share/zelk-tunnel/Demo.jpg
    check_hack_files /usr /usr
    echo "== MATE's screensaver runs the hack"
    "$here/mate-host.sh" "$artifacts/$mode" | sed 's/^/  /' || fail "MATE's screensaver as host"

    echo "== start the menu command in a home folder"
    HOME="$work/home" run_scenarios "$(command -v "$command")" "$work/home" run-keys-escape window-close

    echo "== the package's own test (debian/tests), as autopkgtest runs it"
    mkdir -p "$work/autopkgtest"
    (cd "$here/../.." && AUTOPKGTEST_TMP="$work/autopkgtest" AUTOPKGTEST_ARTIFACTS="$artifacts/autopkgtest" \
      debian/tests/run-installed) | sed 's/^/  /' || fail "debian/tests/run-installed"

    echo "== a Wayland session, no X server for the program"
    "$here/wayland-session.sh" "$(command -v "$command")" "$artifacts/wayland" | sed 's/^/  /' ||
      fail "the Wayland session"

    echo "== remove it"
    apt-get purge -y -qq zelk-tunnel >/dev/null 2>&1 || fail "apt-get purge failed"
    ! installed || fail "still installed after purge"
    for path in "${owned[@]}"; do
      if [[ -d $path ]]; then
        # Shared folders (/usr/share/applications ...) may stay: other
        # packages own them, or hold files of their own there.
        [[ -n "$(dpkg -S "$path" 2>/dev/null)" || -n "$(ls -A "$path")" ]] ||
          fail "the empty folder $path is left after purge"
      elif [[ -e $path ]]; then
        fail "$path is left after purge"
      fi
    done
    note "purged; none of its ${#owned[@]} paths is left"
    ;;

  *)
    fail "unknown mode $mode"
    ;;
esac
echo "PASS ($scenario)"
