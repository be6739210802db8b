#!/usr/bin/env bash
# wine-speed.sh [win32|win64]: the setup program's speed under Wine, side by side in one run.
#
# For each payload (many small files, one large file, a realistic mix; made deterministically by
# bench/make-payloads.py under build/wine-speed/) it installs the same files three ways:
#   ours   the preset's setup.exe with a no-wizard package built by the host setup-tool,
#          started as "/S /D=C:\WineSpeed\ours" (uninstaller, log and registration included);
#   bare   bench/win32 bare-install.exe over the same setup program: inflate each chunk, write
#          under a temporary name, set the time, move over the target, and nothing else;
#   NSIS   an NSIS 3 silent installer of the same files (Debian's makensis, zlib, not solid,
#          its uninstaller and an Uninstall key written too), "/S /D=C:\WineSpeed\nsis".
# The three alternate, best of BENCH_RUNS (3) runs each, with the best start-up of an empty Wine
# program taken off every time. Then the uninstall of the small payload: uninst.exe /S beside
# bench/win32 bare-delete.exe (a listing per folder, DeleteFileW per file). Below the table, the
# fixed cost that every figure holds (none of it is taken off): bench/win32 imports-program.exe,
# an empty program with setup.exe's imports, against the empty program, and the three installers
# on a package of one small file, timed in the same alternation. Then the peak
# working set of setup.exe on each payload and on a package of BENCH_MEMORY_MB (1024) MiB, read
# by bench/win32 peak-ws.exe (GetProcessMemoryInfo's PeakWorkingSetSize, polled every 10 ms).
#
# The preset picks the architecture: win32 is the product (needs a machine that starts i386
# programs); win64 runs the same code as a 64-bit build under 64-bit Wine. Wine runs with no
# display in a copy of the project's prefix (wine-prefix.sh: windows are not managed, so Wine
# never waits for a hidden window), one persistent wineserver, and Wine's services and desktop
# kept up by bench/win32 desktop-holder.exe (on Windows they are always there; under Wine the
# first program with a window would start them and pay for it).
#
# BENCH_BASELINE=DIR adds a fourth installer, "before": the same package on DIR/setup.exe with
# DIR/uninst.exe (an earlier build of the same preset), timed in the same alternation, so that a
# change is measured side by side with what it changes.
#
# Sizes: BENCH_SMALL_FILES (4000), BENCH_LARGE_MB (100), BENCH_MIX_FILES (800) and
# BENCH_MIX_MB (80); BENCH_MEMORY_MB=0 skips the large package. Builds what it needs (the bench
# preset's setup-tool, the Windows preset's programs). A benchmark: it prints figures and never
# fails on them.
set -euo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY SETUP_WINE_LOCALE

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=${1:-win32}
case $preset in win32 | win64) ;; *) echo "usage: bench/wine-speed.sh [win32|win64]" >&2; exit 2 ;; esac
runs=${BENCH_RUNS:-3}
small_files=${BENCH_SMALL_FILES:-4000}
large_mb=${BENCH_LARGE_MB:-100}
mix_files=${BENCH_MIX_FILES:-800}
mix_mb=${BENCH_MIX_MB:-80}
memory_mb=${BENCH_MEMORY_MB:-1024}
baseline=${BENCH_BASELINE:-}
if [ -n "$baseline" ]; then
  baseline=$(cd "$baseline" && pwd)
  [ -f "$baseline/setup.exe" ] && [ -f "$baseline/uninst.exe" ] ||
    { echo "BENCH_BASELINE=$baseline holds no setup.exe and uninst.exe" >&2; exit 2; }
fi
work=$root/build/wine-speed
win=$root/build/$preset
tool=$root/build/bench/setup-tool

command -v makensis >/dev/null || { echo "makensis is missing (scripts/deps.sh installs nsis)"; exit 1; }
echo "== building (bench preset: setup-tool; $preset preset: setup, uninst, bench programs)"
cd "$root"
[ -f build/bench/build.ninja ] || cmake --preset bench >/dev/null
cmake --build build/bench --target setup-tool >/dev/null
[ -f "$win/build.ninja" ] || cmake --preset "$preset" >/dev/null
cmake --build "$win" --target setup uninst bare-install bare-delete empty-program imports-program \
  desktop-holder peak-ws >/dev/null

# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
wine_select "$preset"
prefix=$work/prefix
export WINEPREFIX=$prefix WINEDEBUG=-all
trap 'stop_server' EXIT
mkdir -p "$work"
rm -rf "$prefix"
wine_copy_prefix "$prefix" >/dev/null
drive=$prefix/drive_c/WineSpeed
mkdir -p "$drive"
cp "$win"/bench/{bare-install,bare-delete,empty-program,imports-program,desktop-holder,peak-ws}.exe "$drive/"
# One server for the whole run, with Wine's services and desktop held by a program that stays
# the whole run: every program starts as it would on a running Windows, where both are there.
stop_server() {
  rm -f "$drive/hold.flag"
  [ -n "${holder:-}" ] && wait "$holder" 2>/dev/null
  "$wine_server" -k 2>/dev/null || true
}
LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 "$wine_server" -p
wine() { LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 "$wine_loader" "$@" >/dev/null 2>&1; }
wine 'C:\WineSpeed\empty-program.exe' || true  # the first start of a copied prefix updates it
touch "$drive/hold.flag"
wine 'C:\WineSpeed\desktop-holder.exe' 'C:\WineSpeed\hold.flag' &
holder=$!

# --- payloads and the two installers of each --------------------------------------------------
case $preset in win64) nsis_target=amd64-unicode ;; *) nsis_target=x86-unicode ;; esac

# make_payload NAME KIND COUNT MB [no-nsis]: files in $work/NAME/payload, setup programs in
# $drive/NAME.
make_payload() {
  local name=$1 dir=$work/$1 stamp="$2 $3 $4 $(md5sum <"$root/bench/make-payloads.py")"
  if [ "$(cat "$dir/.stamp" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    python3 "$root/bench/make-payloads.py" "$dir/payload" "$2" "$3" "$4"
    echo "$stamp" >"$dir/.stamp"
  fi
  cat >"$dir/project.json" <<JSON
{
  "serial": "5EED0000-0000-4000-8000-$(printf '%012d' "${#name}$3")",
  "settings": [
    { "caption": "项目名称", "value": "WineSpeed $name", "group": 0 },
    { "caption": "显示安装界面", "value": "禁用", "group": 0 },
    { "caption": "显示加载进度", "value": "禁用", "group": 0 },
    { "caption": "显示安装背景窗口", "value": "禁用", "group": 0 },
    { "caption": "默认文件夹名称", "value": "WineSpeed", "group": 6 },
    { "caption": "默认安装路径", "value": "C:\\\\WineSpeed\\\\ours", "group": 8 }
  ],
  "files": [
    { "kind": "tree", "content": "payload", "destFolder": "目标计算机\\\\Program Files\\\\Product\\\\" },
    { "kind": "uninstaller", "source": "uninst.exe" }
  ]
}
JSON
  mkdir -p "$drive/$name"
  "$tool" build "$dir/project.json" --stub "$win/setup.exe" --uninstaller "$win/uninst.exe" \
    -o "$drive/$name/ours.exe" >/dev/null
  if [ -n "$baseline" ] && [ "${5:-}" != no-nsis ]; then
    "$tool" build "$dir/project.json" --stub "$baseline/setup.exe" --uninstaller "$baseline/uninst.exe" \
      -o "$drive/$name/before.exe" >/dev/null
  fi
  if [ "${5:-}" = no-nsis ]; then
    echo "  $name: $(find "$dir/payload" -type f | wc -l) files, $(du -sm --apparent-size "$dir/payload" | cut -f1) MiB;" \
      "setup program $(($(stat -c %s "$drive/$name/ours.exe") >> 20)) MiB"
    return
  fi
  cat >"$dir/nsis.nsi" <<NSI
Unicode true
Target $nsis_target
SetCompressor zlib
Name "WineSpeed $name"
OutFile "$drive/$name/nsis.exe"
InstallDir "C:\\WineSpeed\\nsis"
RequestExecutionLevel admin
SilentInstall silent
Section
  SetOutPath "\$INSTDIR\\Product"
  File /r "$dir/payload/*.*"
  WriteUninstaller "\$INSTDIR\\uninst-nsis.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WineSpeed" "DisplayName" "WineSpeed"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WineSpeed" "UninstallString" "\$INSTDIR\\uninst-nsis.exe"
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR"
SectionEnd
NSI
  makensis -V1 "$dir/nsis.nsi" >/dev/null
  echo "  $name: $(find "$dir/payload" -type f | wc -l) files, $(du -sm --apparent-size "$dir/payload" | cut -f1) MiB;" \
    "setup program $(($(stat -c %s "$drive/$name/ours.exe") >> 20)) MiB, NSIS $(($(stat -c %s "$drive/$name/nsis.exe") >> 20)) MiB"
}

echo "== payloads (build/wine-speed)"
make_payload small small "$small_files" 0
make_payload large large 1 "$large_mb"
make_payload mix mix "$mix_files" "$mix_mb"
make_payload tiny small 1 0

# --- timing -----------------------------------------------------------------------------------
# seconds COMMAND...: runs it under Wine and prints the wall-clock seconds; "fail" when it
# did not end with 0.
seconds() {
  local start=$EPOCHREALTIME
  if wine "$@"; then
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'
  else
    echo fail
  fi
}
# best OLD NEW: the smaller, "fail" winning over nothing but losing to any time.
best() {
  if [ "$1" = "" ] || [ "$1" = fail ]; then echo "$2"
  elif [ "$2" = fail ]; then echo "$1"
  else awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? a : b) }'; fi
}
installed_files() { find "$1" -type f 2>/dev/null | wc -l; }
fresh() { rm -rf "$prefix/drive_c/WineSpeed/$1"; }

empty="" imports=""
declare -A time
for name in small large mix tiny; do
  expected=$(find "$work/$name/payload" -type f | wc -l)
  for ((run = 1; run <= runs; run++)); do
    empty=$(best "$empty" "$(seconds 'C:\WineSpeed\empty-program.exe')")
    imports=$(best "$imports" "$(seconds 'C:\WineSpeed\imports-program.exe')")
    fresh ours
    t=$(seconds "C:\\WineSpeed\\$name\\ours.exe" /S '/D=C:\WineSpeed\ours')
    [ "$(installed_files "$drive/ours/Product")" = "$expected" ] || t=fail
    time[$name.ours]=$(best "${time[$name.ours]:-}" "$t")
    if [ "$name" = small ]; then
      t=$(seconds 'C:\WineSpeed\ours\uninst.exe' /S)
      [ "$(installed_files "$drive/ours/Product")" = 0 ] || t=fail
      time[uninstall.ours]=$(best "${time[uninstall.ours]:-}" "$t")
    fi
    if [ -n "$baseline" ]; then
      fresh ours
      t=$(seconds "C:\\WineSpeed\\$name\\before.exe" /S '/D=C:\WineSpeed\ours')
      [ "$(installed_files "$drive/ours/Product")" = "$expected" ] || t=fail
      time[$name.before]=$(best "${time[$name.before]:-}" "$t")
      if [ "$name" = small ]; then
        t=$(seconds 'C:\WineSpeed\ours\uninst.exe' /S)
        [ "$(installed_files "$drive/ours/Product")" = 0 ] || t=fail
        time[uninstall.before]=$(best "${time[uninstall.before]:-}" "$t")
      fi
    fi
    fresh bare
    t=$(seconds 'C:\WineSpeed\bare-install.exe' "C:\\WineSpeed\\$name\\ours.exe" 'C:\WineSpeed\bare')
    [ "$(installed_files "$drive/bare/Product")" = "$expected" ] || t=fail
    time[$name.bare]=$(best "${time[$name.bare]:-}" "$t")
    if [ "$name" = small ]; then
      t=$(seconds 'C:\WineSpeed\bare-delete.exe' 'C:\WineSpeed\bare')
      [ ! -e "$drive/bare" ] || t=fail
      time[uninstall.bare]=$(best "${time[uninstall.bare]:-}" "$t")
    fi
    fresh nsis
    t=$(seconds "C:\\WineSpeed\\$name\\nsis.exe" /S '/D=C:\WineSpeed\nsis')
    [ "$(installed_files "$drive/nsis/Product")" = "$expected" ] || t=fail
    time[$name.nsis]=$(best "${time[$name.nsis]:-}" "$t")
  done
  fresh ours; fresh bare; fresh nsis
done

# --- peak working set ---------------------------------------------------------------------------
# peak COMMAND...: the peak working set in MiB of the program peak-ws.exe starts.
peak() {
  LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 "$wine_loader" 'C:\WineSpeed\peak-ws.exe' "$@" 2>/dev/null |
    tr -d '\r' | awk '/^peak working set:/ { printf "%.1f", $4 / 1048576 }'
}
declare -A peak_mb
peak_mb[empty]=$(peak 'C:\WineSpeed\empty-program.exe')
for name in small large mix; do
  fresh ours
  peak_mb[$name]=$(peak "C:\\WineSpeed\\$name\\ours.exe" /S '/D=C:\WineSpeed\ours')
  fresh ours
done
if [ "$memory_mb" -gt 0 ]; then
  echo "== the ${memory_mb} MiB package for the memory figure"
  make_payload memory large 1 "$memory_mb" no-nsis
  peak_mb[memory]=$(peak 'C:\WineSpeed\memory\ours.exe' /S '/D=C:\WineSpeed\ours')
  [ "$(installed_files "$drive/ours/Product")" = 1 ] || peak_mb[memory]="fail"
  fresh ours
  rm -rf "$drive/memory"
fi

# --- report -------------------------------------------------------------------------------------
# net SECONDS: the time less the empty program's start-up.
net() { if [ "$1" = fail ]; then echo fail; else awk -v t="$1" -v e="$empty" 'BEGIN { printf "%.3f", t - e }'; fi; }
ratio() {
  if [ "$1" = fail ] || [ "$2" = fail ]; then echo "-"
  else awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) print "-"; else printf "%.2f", a / b }'; fi
}
describe() { echo "$(find "$work/$1/payload" -type f | wc -l) files, $(du -sm --apparent-size "$work/$1/payload" | cut -f1) MiB"; }

echo
echo "== $preset preset under $("$wine_loader" --version 2>/dev/null), $(nproc) cores," \
  "$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)"
echo "best of $runs alternating runs; the empty program's start-up ($empty s) taken off each time"
printf '%-24s %9s %9s %9s   %-22s %s\n' payload ours bare NSIS "bare/ours (goal >=0.9)" "NSIS/ours (goal >1)"
for name in small large mix; do
  o=$(net "${time[$name.ours]}") b=$(net "${time[$name.bare]}") n=$(net "${time[$name.nsis]}")
  printf '%-24s %9s %9s %9s   %-22s %s\n' "$name ($(describe "$name"))" "$o" "$b" "$n" \
    "$(ratio "$b" "$o")" "$(ratio "$n" "$o")"
  if [ -n "$baseline" ]; then
    p=$(net "${time[$name.before]}")
    printf '%-24s %9s %9s %9s   %-22s %s\n' "  before" "$p" "" "" "$(ratio "$b" "$p")" "$(ratio "$n" "$p")"
  fi
done
# The DLLs a program imports, upper case, in order.
dlls() { "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort | xargs; }
case $preset in win64) objdump=x86_64-w64-mingw32-objdump ;; *) objdump=i686-w64-mingw32-objdump ;; esac
echo "fixed cost, held in every figure above (none of it taken off):"
echo "  an empty program that imports what setup.exe imports: $(net "$imports") s more than the empty program"
if [ "$(dlls "$win/setup.exe")" != "$(dlls "$drive/imports-program.exe")" ]; then
  echo "  (that yardstick is off: setup.exe imports $(dlls "$win/setup.exe"); it imports $(dlls "$drive/imports-program.exe"))"
fi
o=$(net "${time[tiny.ours]}") b=$(net "${time[tiny.bare]}") n=$(net "${time[tiny.nsis]}")
echo "  one file of $(du -b "$work"/tiny/payload/*/* | cut -f1) bytes: ours $o s, bare $b s, NSIS $n s${baseline:+, before $(net "${time[tiny.before]}") s}"
o=$(net "${time[uninstall.ours]}") b=$(net "${time[uninstall.bare]}")
echo "uninstall of small: uninst.exe /S $o s, bare delete $b s, bare/ours $(ratio "$b" "$o") (goal >=0.8)"
if [ -n "$baseline" ]; then
  p=$(net "${time[uninstall.before]}")
  echo "  before: uninst.exe /S $p s, bare/before $(ratio "$b" "$p")"
fi
echo "peak working set of setup.exe (GetProcessMemoryInfo, polled every 10 ms), MiB:" \
  "small ${peak_mb[small]}, large ${peak_mb[large]}, mix ${peak_mb[mix]}${peak_mb[memory]:+, ${memory_mb} MiB package ${peak_mb[memory]}}" \
  "(an empty program: ${peak_mb[empty]}; goal <32 for a 1 GiB package)"
