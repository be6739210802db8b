#!/usr/bin/env bash
# check-exit-code.sh CODE PROGRAM [args...]: runs the Windows program under Wine and passes when
# it ends with the Windows exit code CODE. Wine hands the host only the code's low byte (1602
# arrives as 66), so that is what is compared; a crash or a hang (ctest's time-out) fails.
set -uo pipefail
expected=$1
shift
bash "$(dirname "$0")/../../../scripts/wine-run.sh" "$@"
code=$?
if [ "$code" -ne $((expected & 255)) ]; then
  echo "check-exit-code: $1 ended with $code, expected $expected (low byte $((expected & 255)))"
  exit 1
fi
