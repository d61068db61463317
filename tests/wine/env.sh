# Sourced by the scripts that run Windows programs. Picks how Windows programs run
# on this machine and sets up the environment for the project's own Wine prefix
# under build/ (never the user's).
#
# The program is a 32-bit one, and it is tested as such wherever this machine runs
# 32-bit code. Some kernels have 32-bit emulation switched off; 32-bit Wine cannot
# start there, so the tests drive the 64-bit build of the same sources instead.
repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

if [ -z "${VELKARN_WINE_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        VELKARN_WINE_ARCH=win32
    else
        VELKARN_WINE_ARCH=win64
    fi
fi
export VELKARN_WINE_ARCH

if [ "$VELKARN_WINE_ARCH" = win32 ]; then
    WINE=/usr/lib/wine/wine
else
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
fi
export WINE WINEARCH=$VELKARN_WINE_ARCH
export WINEPREFIX="${VELKARN_WINEPREFIX:-$repo_root/build/wineprefix-$VELKARN_WINE_ARCH}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No menu entries in the user's home, no offers to install Mono or Gecko.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
# The build whose programs run here: build/win32 or build/win64.
export VELKARN_TEST_BUILD="$repo_root/build/$VELKARN_WINE_ARCH"
