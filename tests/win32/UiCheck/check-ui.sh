#!/usr/bin/env bash
# check-ui.sh UI_CHECK_EXE SCREENSHOT_DIR: runs the widget check program under Wine on the
# display in DISPLAY (run-with-display.sh provides one), saves a screenshot of its window,
# checks that the screenshot is not blank, then acts as a person with keys: Enter and Esc
# (which must do nothing), Alt+D (unticks the check box) and Alt+N (presses Next). The
# program's exit code says whether it saw exactly that. Exit 0 when every check holds.
set -uo pipefail
program=$(realpath -m "$1")
shots=$(realpath -m "$2")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/deps.sh installs it)"; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY; run through run-with-display.sh"; exit 1; }
mkdir -p "$shots"
locale=${SETUP_WINE_LOCALE:-zh_CN.UTF-8}
shot="$shots/ui-check-${locale%%.*}.png"
caption='“演示软件”安装向导'

# A first run makes the prefix (half a minute) before anything can show: not part of the wait.
# shellcheck source=../../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
"$root/scripts/wine-prefix.sh" "" "$(wine_arch_of "$program")" || { echo "FAIL: no Wine prefix"; exit 1; }
out=$(mktemp)
# A session of its own, so that a failed check ends the program with the script that ran it.
setsid "$root/scripts/wine-run.sh" "$program" >"$out" 2>&1 &
run=$!
fail() {
  echo "FAIL: $*"
  kill -- "-$run" 2>/dev/null
  wait "$run" 2>/dev/null
  rm -f "$out"
  exit 1
}

# Window names are matched in UTF-8 only under a UTF-8 locale.
window=""
for _ in $(seq 300); do
  window=$(LC_ALL=zh_CN.UTF-8 xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 "$run" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  kill -0 "$run" 2>/dev/null || fail "the program ended without showing a window named $caption ($(tr -d '\r' <"$out"))"
  fail "no window named $caption appeared within 30 s"
fi

# Let it paint, then photograph it.
sleep 0.5
import -window "$window" "$shot" 2>/dev/null || fail "no screenshot of $caption"
# shellcheck source=../Wizard/wizard-lib.sh
source "$root/tests/win32/Wizard/wizard-lib.sh"
wizard_blank "$shot" && fail "the screenshot $shot is blank"
echo "screenshot: $shot"

xdotool windowfocus --sync "$window"
for key in Return Escape alt+d alt+n; do
  xdotool key --window "$window" --clearmodifiers "$key"
  sleep 0.2
done
for _ in $(seq 100); do kill -0 "$run" 2>/dev/null || break; sleep 0.1; done
kill -0 "$run" 2>/dev/null && fail "the program did not end after Alt+N ($(tr -d '\r' <"$out"))"
wait "$run"
rc=$?
report=$(tr -d '\r' <"$out")
rm -f "$out"
[ "$rc" -eq 0 ] || { echo "FAIL: exit code $rc: $report"; exit 1; }
echo "ui check: $report"
