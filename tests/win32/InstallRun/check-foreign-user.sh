#!/usr/bin/env bash
# check-foreign-user.sh SETUP_TOOL STUB DRIVER PLANTED WORK_DIR
# The demo installed by a user whose name GBK cannot spell ("Jörg": ö is not in GBK), started
# from that user's downloads folder, with a planted regsvr32.exe and regedit.exe lying beside
# it. A copy of the project's prefix is turned into Jörg's (profile folder, registry paths,
# USER); DRIVER (install-run.exe) finds the setup program beside itself through the platform,
# as the setup program finds its own file. Checked from outside: the run succeeded, the files and
# shortcuts are where they belong (the profile reached through its short name), the temporary
# files are gone, the registry script was imported by the real Regedit, and the planted programs
# (PLANTED copies, which leave a ".ran" marker when started) never ran. SETUP_WINE_LOCALE picks
# the code page as for every Wine run. Exit 0 when all holds, 77 (skipped) without a host build.
set -uo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8

tool=$(realpath -m "$1") stub=$(realpath -m "$2") driver=$(realpath -m "$3") planted=$(realpath -m "$4")
work=$(realpath -m "$5")
# shellcheck source=../check-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../check-lib.sh"
demo=$root/examples/demo
# Jörg as Wine's registry files spell him: non-ASCII as \x and the UTF-16 unit in hex.
userInReg='J\x00f6rg'

if [ ! -x "$tool" ]; then
  echo "no host setup-tool at $tool (build the host preset first); skipped"
  exit 77
fi

now() { date +%s.%N; }
elapsed() { awk -v from="$1" -v to="$(now)" 'BEGIN { printf "%.1f s", to - from }'; }

# --- Jörg's prefix --------------------------------------------------------------------------
started=$(now)
check_machine "$driver" "$work" SETUP_KEEP_INSTALL_RUN
hostUser=$user user=Jörg
mv "$prefix/drive_c/users/$hostUser" "$prefix/drive_c/users/$user" || { echo "no profile of $hostUser"; exit 1; }
profile=$prefix/drive_c/users/$user
# Wine writes the profile's folders into the registry when it makes the prefix; they follow the
# new name. USER below makes Wine's own profile path (USERPROFILE) agree.
OLD=$hostUser NEW=$userInReg perl -pi -e 's/\\\\users\\\\\Q$ENV{OLD}\E(?=\\\\|")/\\\\users\\\\$ENV{NEW}/g; s/^"USERNAME"="\Q$ENV{OLD}\E"$/"USERNAME"="$ENV{NEW}"/' \
  "$prefix/user.reg" "$prefix/system.reg"
if grep -qF "users\\\\$hostUser" "$prefix/user.reg"; then echo "the profile paths were not renamed"; exit 1; fi
echo "prefix of $user made in $(elapsed "$started")"

# --- The downloads folder and the run -------------------------------------------------------
stage=$(now)
downloads=$profile/Downloads
mkdir -p "$downloads" "$profile/Temp"
"$tool" build "$demo/project.json" --stub "$stub" -o "$downloads/演示软件安装.exe" >/dev/null ||
  { echo "setup-tool build failed"; exit 1; }
cp "$driver" "$downloads/install-run.exe"
cp "$planted" "$downloads/regsvr32.exe"
cp "$planted" "$downloads/regedit.exe"
dir='C:\演示程序\DemoSoft'
marker=$work/started
touch "$marker"
USER=$user LOGNAME=$user SETUP_WINEPREFIX=$prefix \
  "$root/scripts/wine-run.sh" "$downloads/install-run.exe" 演示软件安装.exe --dir "$dir" \
  >"$work/stdout" 2>"$work/stderr"
rc=$?
echo "install run under Wine in $(elapsed "$stage")"
sed 's/^/  | /' "$work/stdout" "$work/stderr"
check "install-run exit code" "$rc" 0
grep -qx 'installed' "$work/stdout" || fail "install-run did not report the end of the install"
# Found beside itself under a name GBK can spell: the short form of the profile, never a "?".
setupLine=$(grep '^setup program ' "$work/stdout")
[[ $setupLine == 'setup program C:\users\'*'\演示软件安装.exe' && $setupLine != *'?'* ]] && pass ||
  fail "the setup program was reached as [${setupLine#setup program }]"
grep -q '?' "$work/stdout" && fail "a path with a lost character was reported"

# --- What the run left ----------------------------------------------------------------------
installDir=$prefix/drive_c/演示程序/DemoSoft
for file in bin/DemoSoft.exe bin/DemoCore.dll config.ini doc/readme.txt; do
  cmp -s "$installDir/$file" "$demo/content/$file" && pass || fail "$file not installed"
done
startMenu=$profile/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/演示软件
for link in "$startMenu/演示软件.lnk" "$startMenu/卸载“演示软件”.lnk" "$profile/Desktop/演示软件.lnk"; do
  [ -f "$link" ] && pass || fail "missing shortcut ${link#"$profile"/}"
done
# Nothing went to a drive root or a look-alike profile instead.
check "folders beside $user's profile" "$(ls "$prefix/drive_c/users" | grep -v -x -e Public -e "$user")" ""
leftovers=$(find "$profile/Temp" -type f -newer "$marker" | sed "s|^$prefix/||")
check "temporary files left" "$leftovers" ""
grep -q '^\[Software\\\\DemoSoft\\\\Imported\]' "$prefix/user.reg" && pass ||
  fail "the registry script was not imported by the real Regedit"
for program in regsvr32.exe regedit.exe; do
  [ ! -e "$downloads/$program.ran" ] && pass || fail "the planted $program beside the setup program ran"
done

check_finish "foreign user ($arch, ${SETUP_WINE_LOCALE:-zh_CN.UTF-8}, $(elapsed "$started"))"
