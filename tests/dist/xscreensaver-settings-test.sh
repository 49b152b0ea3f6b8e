#!/bin/bash
# The hack's settings as XScreenSaver's settings dialog writes them: every
# value each control can give is one the program takes. The dialog writes a
# slider's or a file chooser's arg with the value in place of %, a select's
# or a boolean's arg-set as it is.
#   xscreensaver-settings-test.sh <zelk-tunnel.xml> <program>
set -euo pipefail
xml=$1 program=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

xmllint --noout "$xml" || fail "$xml is not well-formed"
query() { xmllint --xpath "$1" "$xml" 2>/dev/null || true; }

# The controls the viewer is promised, by id.
for id in delay shape quads speed focal texture saverpictures showfps; do
  [[ -n $(query "//*[@id='$id']/@id") ]] || fail "no control with id $id"
done
[[ $(query "string(//file[@id='texture']/@arg)") == "--texture %" ]] || fail "the picture's file chooser"
[[ $(query "string(//boolean[@id='saverpictures']/@_label)") == "Pictures from XScreenSaver's image folder" ]] ||
  fail "the image folder's boolean"
for id in speed focal; do
  [[ $(query "string(//number[@id='$id']/@type)") == slider ]] || fail "$id is no slider"
  # Words at the ends, not step numbers.
  for end in _low-label _high-label; do
    label=$(query "string(//number[@id='$id']/@$end)")
    [[ $label =~ ^[A-Za-z][a-z\ ]+$ ]] || fail "$id's $end is '$label'"
  done
done

# Each value a control can give, as arguments; the program reads them all,
# then --version ends it before any window opens.
checked=0
accepts() {
  local output
  # shellcheck disable=SC2086  # the arguments split as the dialog's do
  output=$("$program" $1 --version 2>&1) || fail "'$1' refused: $output"
  checked=$((checked + 1))
}
for id in $(query "//number/@id" | sed 's/ id="\([^"]*\)"/\1 /g'); do
  arg=$(query "string(//number[@id='$id']/@arg)")
  for bound in low high default; do
    accepts "${arg/\%/$(query "string(//number[@id='$id']/@$bound)")}"
  done
done
while read -r set; do
  [[ -n $set ]] && accepts "$set"
done < <(query "//option/@arg-set | //boolean/@arg-set" | sed 's/ arg-set="\([^"]*\)"/\1\n/g')
accepts "$(query "string(//command/@arg)")"
accepts "$(query "string(//file[@id='texture']/@arg)" | sed 's|%|/tmp/picture.png|')"
# 3 sliders x 3 values, 4 options with an arg-set, 2 booleans, the command
# and the file: no control left unread.
((checked >= 17)) || fail "only $checked values checked"
echo "ok: $checked values of $xml taken by $program"
