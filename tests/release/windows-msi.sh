#!/usr/bin/env bash
# The Windows installer as a user and an administrator get it:
#   windows-msi.sh MSI ZIP WXS
# In a fresh Wine prefix: an older version (built here from the zip's files
# and the same WXS at 0.0.1) is installed, then MSI over it with msiexec /qn,
# which must replace it. The files are where they belong and are the zip's;
# the Apps entry names the version, publisher, licence and icon; the Start
# menu's shortcut starts the installed program (its warning box, declined);
# the saver runs with /s from System32 with its texture; msiexec /x leaves no
# file, shortcut or registry key of the installer's behind.
set -euo pipefail
msi=$(realpath "$1")
zip=$(realpath "$2")
wxs=$(realpath "$3")
scenario=windows-msi

# shellcheck source-path=SCRIPTDIR source=../e2e/xvfb-lib.sh
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../e2e/xvfb-lib.sh"
show_on_failure "$work/wine.log" "Wine's output" 30
export WINEPREFIX=$work/prefix WINEDLLOVERRIDES="mscoree,mshtml="
touch "$work/wine.log"

stop_program() {
  end_program
  WINEDEBUG=-all wineserver --kill 2>/dev/null || true
}

readonly uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
readonly drive=$WINEPREFIX/drive_c
readonly program_dir="$drive/Program Files/Zelk's little tunnel"
readonly system32=$drive/windows/system32

wine_quiet() { WINEDEBUG=-all wine "$@" 2>>"$work/wine.log" | tr -d '\r'; }

product_code() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }'; }

# The Apps entries named for the tunnel, one "CODE VERSION" line each.
apps_entries() {
  local entry
  for entry in $(wine_quiet reg query "$uninstall" | grep -o '{[0-9A-F-]*}$'); do
    local values
    values=$(wine_quiet reg query "$uninstall\\$entry")
    if grep -q "DisplayName *REG_SZ *Zelk's little tunnel\$" <<<"$values"; then
      echo "$entry $(awk '$1 == "DisplayVersion" { print $3 }' <<<"$values")"
    fi
  done
}

msiexec() {
  local start=$SECONDS
  wine_quiet msiexec "$@" || fail "msiexec $* failed"
  note "msiexec $1 ${2##*/} /qn: $((SECONDS - start)) s"
}

# The shortcut, wherever this system keeps the Start menu's programs.
start_menu_entry() {
  find "$drive/ProgramData" "$drive/users" -name "Zelk's little tunnel.lnk" 2>/dev/null | head -n 1
}

files_of_ours() {
  find "$drive" \( -iname '*zelk*' -o -path "$system32/Demo.jpg" \) -not -path "$drive/windows/Installer/*" 2>/dev/null
}

version=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductVersion" { print $2 }')
[[ -n $version ]] || fail "the installer states no version"

# The older version, from the same files under another product code.
mkdir -p "$work/zip" "$work/elsewhere"
unzip -q "$zip" -d "$work/zip"
convert -size 32x32 xc:grey "$work/zip/zelk-tunnel.ico"
old=$work/old.msi
(cd "$work/zip" && wixl -a x64 -D Version=0.0.1 -D ProductCode=6a7b3f52-0a8e-4f6e-9d0e-3c1e5b2d9a01 \
  -D Files=. -o "$old" "$wxs" 2>>"$work/wine.log") || fail "cannot build the older installer"

WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || fail "wineboot failed"
WINEDEBUG=-all wineserver --wait || true
start_display

msiexec /i "$old" /qn
[[ $(apps_entries) == "{6A7B3F52-0A8E-4F6E-9D0E-3C1E5B2D9A01} 0.0.1" ]] ||
  fail "the older version is not listed in Apps: $(apps_entries)"
note "0.0.1 installed"

msiexec /i "$msi" /qn
code=$(product_code "$msi")
[[ $(apps_entries) == "$code $version" ]] || fail "Apps does not list $version alone: $(apps_entries)"
note "$version replaced 0.0.1: Apps lists $code $version alone"
entry=$(wine_quiet reg query "$uninstall\\$code")
grep -q "Publisher *REG_SZ *Zelk's little tunnel developers" <<<"$entry" || fail "no publisher in Apps"
grep -q "Comments *REG_SZ *MIT License" <<<"$entry" || fail "no licence in Apps"
[[ -s "$drive/windows/Installer/$code/zelk_tunnel.ico" ]] || fail "no icon for Apps"
cmp -s "$drive/windows/Installer/$code/zelk_tunnel.ico" "$work/zip/zelk-tunnel.ico" &&
  fail "Apps shows the older version's icon"

for file in zelk-tunnel.exe Demo.jpg README.txt LICENSE.txt; do
  cmp -s "$program_dir/$file" "$work/zip/$file" || fail "$file in Program Files is not the zip's"
done
cmp -s "$system32/Zelk tunnel.scr" "$work/zip/Zelk tunnel.scr" || fail "the saver in System32 is not the zip's"
cmp -s "$system32/Demo.jpg" "$work/zip/Demo.jpg" || fail "no texture beside the saver in System32"
shortcut=$(start_menu_entry)
[[ -n $shortcut ]] || fail "no Start menu entry"
note "files in Program Files and System32 as in the zip; Start menu: ${shortcut#"$drive"/}"

# The Start menu entry, as a click starts it: the installed program's box.
(cd "$work/elsewhere" && exec env WINEDEBUG=-all,+msgbox wine start /wait /unix "$shortcut") \
  >"$work/stdout" 2>"$work/wine.log" &
program_pid=$!
wait_until 60 eval 'box=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1); [[ -n $box ]]' ||
  fail "the Start menu entry showed no warning box"
wait_until 10 grep -q 'MSGBOX_OnInit L"Warning: watching this effect' "$work/wine.log" ||
  fail "the box does not show the warning"
pgrep -af 'zelk-tunnel\.exe' | grep -q "Program Files" || fail "the running program is not the installed one"
xdotool windowfocus --sync "$box" || fail "cannot focus the box"
xdotool key Escape
expect_exit_0 20
note "the Start menu entry started the installed program"

(cd "$work/elsewhere" && exec env WINEDEBUG=-all,+msgbox wine "C:\\windows\\system32\\Zelk tunnel.scr" /s) \
  >"$work/stdout" 2>"$work/wine.log" &
program_pid=$!
wait_until 90 eval 'main=$(xdotool search --onlyvisible --name "^${title} - " 2>/dev/null | head -n 1); [[ -n $main ]]' ||
  fail "no saver window from System32"
import -silent -window root -depth 8 rgb:"$work/screen.rgb" 2>/dev/null || fail "cannot read the screen"
od -An -v -tu1 -w3 "$work/screen.rgb" | awk '$1 != $2 || $2 != $3 { found = 1 } END { exit !found }' ||
  fail "the installed saver shows no textured tunnel"
! grep -q 'MSGBOX_OnInit' "$work/wine.log" || fail "the saver showed a box"
xdotool windowfocus --sync "$main" || fail "cannot focus the saver"
xdotool key x
expect_exit_0 20
note "the installed saver ran from System32 with its texture"

msiexec /x "$msi" /qn
[[ -z $(apps_entries) ]] || fail "Apps still lists $(apps_entries)"
left=$(files_of_ours)
[[ -z $left ]] || fail "left behind: $left"
[[ ! -d $program_dir ]] || fail "the program's folder is left behind"
! wine_quiet reg query 'HKLM\Software\Zelk'"'"'s little tunnel' >/dev/null || fail "the installer's registry key is left behind"
note "uninstalled: no file, shortcut, Apps entry or registry key left"
echo "PASS ($scenario)"
