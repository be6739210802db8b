#!/usr/bin/env bash
# check-picture-compare.sh: the wizard walk's picture comparison (wizard-lib.sh) can fail for
# what a person would miss. On the start-menu page's reference picture (docs/wizard) it paints
# over the folder icon, over the separator line and over one label with the colour around them:
# each of the three must differ. A copy blurred by a third of a pixel (as a different hinting
# would move the glyph edges) and the reference itself must be the same picture.
# Needs ImageMagick only. Exit 0 when every check holds.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
# shellcheck source=wizard-lib.sh
source "$root/tests/win32/Wizard/wizard-lib.sh"
reference=$root/docs/wizard/page-04-TfrmStartFolder.png
[ -f "$reference" ] || { echo "FAIL: no reference $reference"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# The client area starts 3 pixels in, below the 19-pixel caption (Wine draws the frame).
client_x=3 client_y=22
# paint NAME X Y W H: the reference with that client rectangle in the colour just above it.
paint() {
  local x=$((client_x + $2)) y=$((client_y + $3)) colour
  colour=$(convert "$reference" -format "%[pixel:p{$x,$((y - 3))}]" info:)
  convert "$reference" -fill "$colour" -draw "rectangle $x,$y $((x + $4 - 1)),$((y + $5 - 1))" "$work/$1.png"
}
expect() {  # expect same|different NAME PICTURE
  local count
  count=$(wizard_differing "$3" "$reference")
  if { [ "$1" = same ] && wizard_same "$3" "$reference"; } ||
     { [ "$1" = different ] && ! wizard_same "$3" "$reference"; }; then
    echo "ok: $2 is $1 ($count pixels differ; at most $wizard_tolerance may)"
  else
    echo "FAIL: $2 should be $1 ($count pixels differ; at most $wizard_tolerance may)"
    failed=1
  fi
}

paint no-icon 31 67 32 32
expect different "the page without its folder icon" "$work/no-icon.png"
paint no-line 8 295 500 6
expect different "the frame without its separator line" "$work/no-line.png"
# Label11, the header's subtitle: "您想在哪里创建程序的快捷方式？" from (29, 33).
paint no-label 29 33 200 14
expect different "the page without its header subtitle" "$work/no-label.png"
convert "$reference" -blur 0x0.33 "$work/hinted.png"
expect same "the page with its glyph edges moved by a third of a pixel" "$work/hinted.png"
expect same "the reference itself" "$reference"
exit $failed
