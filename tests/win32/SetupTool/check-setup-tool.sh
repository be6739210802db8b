#!/usr/bin/env bash
# check-setup-tool.sh HOST_TOOL WINDOWS_TOOL WORK_DIR
# setup-tool.exe under Wine against the Linux setup-tool: both build the demo (examples/demo)
# into the same bytes; the Windows tool's inspect prints what the Linux tool's does; it reads a
# setup program piped to its standard input (binary mode) and says its version like the Linux
# tool. Exit 0 when all hold, 77 (skipped) without a host build, 1 otherwise.
set -uo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8

host=$(realpath -m "$1") windows=$(realpath -m "$2") work=$(realpath -m "$3")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
if [ ! -x "$host" ]; then
  echo "no host setup-tool at $host (build the host preset first); skipped"
  exit 77
fi
# shellcheck source=../../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
status=0
fail() { echo "FAIL: $*"; status=1; }

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
cp -r "$root/examples/demo" demo
cp "$windows" setup-tool.exe
printf 'MZ%510s' '' > stub.exe
# A folder tree with Chinese names and spaces, named only inside the project (UTF-8 JSON): the
# Windows tool must open and list it by its Unicode names, not through the ANSI code page.
mkdir -p "产品/文档 目录/空 文件夹" && printf 'readme' > "产品/文档 目录/说明 文件.txt"
printf 'program' > "产品/程序.exe" && printf 'uninstaller' > uninst.exe
"$host" -q init 产品 -o tree.json --name Tree --uninstaller uninst.exe || { echo "host init failed"; exit 1; }

# One Wine start for all the Windows tool's runs (each start costs seconds).
# The demo is built twice: the second build replaces the first one's file. (Wine's cmd does not
# take "|| exit /b", hence the errorlevel lines.)
printf '%s\r\n' '@echo off' \
  'setup-tool.exe -q build demo\project.json --stub stub.exe -o windows.exe' 'if errorlevel 1 exit /b 1' \
  'setup-tool.exe -q build demo\project.json --stub stub.exe -o windows.exe' 'if errorlevel 1 exit /b 1' \
  'setup-tool.exe inspect windows.exe > windows.json' 'if errorlevel 1 exit /b 2' \
  'setup-tool.exe verify - < windows.exe > verify.txt' 'if errorlevel 1 exit /b 3' \
  'setup-tool.exe --version > version.txt' 'if errorlevel 1 exit /b 4' \
  'setup-tool.exe -q build tree.json --stub stub.exe --uninstaller uninst.exe -o tree-windows.exe' \
  'if errorlevel 1 exit /b 5' \
  'setup-tool.exe -q extract tree-windows.exe tree-windows' 'if errorlevel 1 exit /b 6' > run.bat
SETUP_WINE_ARCH=$(wine_arch_of "$windows") bash "$root/scripts/wine-run.sh" cmd /c run.bat ||
  fail "setup-tool.exe failed at step $? of run.bat"

"$host" -q build demo/project.json --stub stub.exe -o linux.exe || { echo "host build failed"; exit 1; }
if cmp -s linux.exe windows.exe; then
  echo "the demo built by setup-tool.exe is the Linux tool's, byte for byte ($(stat -c %s linux.exe) bytes)"
else
  fail "setup-tool.exe built other bytes than the Linux tool: $(cmp linux.exe windows.exe 2>&1)"
fi

"$host" inspect linux.exe > linux.json
cmp -s linux.json windows.json || fail "inspect differs: $(diff linux.json windows.json | head -5)"
[[ $(cat verify.txt) == "OK: 18 entries"* ]] || fail "verify - (standard input) said: $(cat verify.txt)"
[ "$(cat version.txt)" = "$("$host" --version)" ] || fail "the versions differ: $(cat version.txt)"

"$host" -q build tree.json --stub stub.exe --uninstaller uninst.exe -o tree-linux.exe &&
  "$host" -q extract tree-linux.exe tree-linux || { echo "host build of the tree failed"; exit 1; }
cmp -s tree-linux.exe tree-windows.exe || fail "the Chinese-named tree built into other bytes"
diff -r tree-linux tree-windows >/dev/null || fail "extract wrote other files: $(diff -r tree-linux tree-windows | head -5)"

[ $status -eq 0 ] && echo "setup-tool.exe: all checks hold"
exit $status
