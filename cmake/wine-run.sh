#!/bin/sh
# Runs a program of the Windows cross build under Wine: the
# CMAKE_CROSSCOMPILING_EMULATOR set by cmake/mingw-w64-x86_64.cmake, so CTest
# (test discovery included) runs the tests this way.
#
#   wine-run.sh DLL_FOLDER... -- PROGRAM.exe [ARGUMENTS...]
#
# A program finds the build's DLLs beside it (one output folder); the
# DLL_FOLDERs (the toolkit's, the compiler's runtime) go on WINEPATH.
# The prefix is the one scripts/build-wx-windows.sh boots, shared by all runs.
set -eu

dll_path=
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    # Z: is the root of the Linux file system in every Wine prefix.
    dll_path="${dll_path:+$dll_path;}Z:$1"
    shift
done
[ $# -gt 0 ] && shift
[ $# -gt 0 ] || { echo "usage: $0 DLL_FOLDER... -- PROGRAM [ARGUMENTS...]" >&2; exit 2; }

export WINEPATH="$dll_path${WINEPATH:+;$WINEPATH}"
export WINEPREFIX="${WINEPREFIX:-${ZAVUD_CACHE:-/var/cache/zavud}/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No dialogs offering to install Mono or Gecko: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if command -v wine64 >/dev/null 2>&1; then
    exec wine64 "$@"
elif [ -x /usr/lib/wine/wine64 ]; then
    # Debian keeps wine64 off PATH; its "wine" would look for wine32 first.
    exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
