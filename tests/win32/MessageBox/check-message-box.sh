#!/usr/bin/env bash
# check-message-box.sh MESSAGE_BOX_EXE: opens the setup run's message boxes under Wine on a
# virtual display and answers them as a user would, with keys: the question box answered Yes
# with Enter (its default button) and No with its "N" key, the information box closed with
# Enter. Each time the box must carry the run's caption and text and report the answer given,
# also under code page 1252 (SETUP_WINE_LOCALE=C.UTF-8, a non-Chinese Windows).
# Exit 0 when every check holds, 1 otherwise.
set -uo pipefail
probe=$(realpath -m "$1")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
command -v xdotool >/dev/null || { echo "xdotool is missing (scripts/deps.sh installs it)"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY; run through tests/win32/Ui/run-with-display.sh"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

caption='“演示软件”安装向导'
failed=0
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

# answer MODE KEY: runs the probe, waits for its box, presses KEY, prints the probe's output.
answer() {
  "$root/scripts/wine-run.sh" "$probe" "$1" >"$work/out" 2>"$work/err" &
  local run=$!
  # Window names are matched in UTF-8 only under a UTF-8 locale.
  local window
  window=$(LC_ALL=zh_CN.UTF-8 timeout 30 xdotool search --sync --onlyvisible --name "^$caption\$" | head -1)
  if [ -z "$window" ]; then
    fail "$1: no window captioned $caption appeared within 30 s"
    kill "$run" 2>/dev/null
  else
    # The probe reads the box back while it is open: answering before it has would close the
    # box under it. It prints the text last.
    for _ in $(seq 300); do grep -q '^text=' "$work/out" && break; sleep 0.1; done
    # The box may be mapped before Wine has given it the focus; keys go to the focus.
    xdotool windowfocus --sync "$window"
    xdotool key "$2"
  fi
  wait "$run"
  tr -d '\r' <"$work/out"
}

# expect MODE KEY LINES...: the probe's whole output must be LINES.
expect() {
  local mode=$1 key=$2
  shift 2
  local got wanted
  got=$(answer "$mode" "$key")
  wanted=$(printf '%s\n' "$@")
  [ "$got" == "$wanted" ] || fail "$mode with $key: got [$got], expected [$wanted]; stderr: $(cat "$work/err")"
}

case ${SETUP_WINE_LOCALE:-zh_CN.UTF-8} in
  zh_CN*) codepage=936 ;;
  *) codepage=1252 ;;
esac
question='安装已完成，是否立即重新启动计算机？'
information='安装程序已把“演示软件”装到您的计算机中。'
expect ask Return "codepage=$codepage" "caption=$caption" "text=$question" "answer=yes"
expect ask n "codepage=$codepage" "caption=$caption" "text=$question" "answer=no"
expect info Return "codepage=$codepage" "caption=$caption" "text=$information" "shown"

[ "$failed" -eq 0 ] && echo "message boxes: all checks passed"
[ "$failed" -eq 0 ]
