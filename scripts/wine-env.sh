# wine-env.sh: sourced by the Wine scripts. Picks the Wine of one Windows architecture:
#   wine_select ARCH       ARCH is win32 (the product: 32-bit Wine) or win64 (64-bit Wine, for
#                          machines that cannot start i386 programs); exports WINEARCH and
#                          WINELOADER and sets wine_loader, wine_server and wine_default_prefix.
#   wine_arch_of EXE       prints win64 for an x86-64 PE file, win32 for anything else.
# Debian's `wine` and `wineserver` scripts choose the 32-bit loader whenever wine32 is installed,
# even where it cannot run, and the 64-bit server whenever wine64 is: both are bypassed here.
wine_env_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

wine_select() {
  case $1 in
    win64)
      wine_loader=/usr/lib/wine/wine64 wine_server=/usr/lib/wine/wineserver64
      wine_default_prefix=$wine_env_root/build/wineprefix64 ;;
    win32)
      wine_loader=/usr/lib/wine/wine wine_server=/usr/lib/wine/wineserver32
      wine_default_prefix=$wine_env_root/build/wineprefix ;;
    *) echo "wine-env.sh: unknown architecture '$1'" >&2; return 1 ;;
  esac
  export WINEARCH=$1 WINELOADER=$wine_loader WINESERVER=$wine_server
}

# The PE header's machine field: 0x8664 is x86-64.
wine_arch_of() {
  local pe machine
  pe=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  machine=$(od -An -t x2 -j $((${pe:-0} + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  if [ "$machine" = 8664 ]; then echo win64; else echo win32; fi
}

# wine_copy_prefix DEST: copies the project prefix of the selected architecture (made first when
# missing) to DEST, for a check that changes the machine. The copy is taken while no run holds
# the prefix (wine-run.sh keeps its lock for a whole run, server included), so never mid-write.
# The copy already has real profile folders and no menu builder (wine-prefix.sh).
wine_copy_prefix() {
  "$wine_env_root/scripts/wine-prefix.sh" "$wine_default_prefix" "$WINEARCH" ||
    { echo "cannot create the Wine prefix"; return 1; }
  (flock 9 && cp -a "$wine_default_prefix" "$1") 9>"$wine_default_prefix.run.lock" ||
    { echo "cannot copy the prefix"; return 1; }
}
