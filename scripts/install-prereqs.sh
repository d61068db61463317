#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and nothing when all is there.
# Run as root (or with sudo available).
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have cmake                 || need+=(cmake)
have g++                   || need+=(g++)
have make                  || need+=(make)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
pkg_installed libgtest-dev || need+=(libgtest-dev)
have python3               || need+=(python3)
have i686-w64-mingw32-g++-posix   || need+=(g++-mingw-w64-i686)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64)
have Xvfb                  || need+=(xvfb)
have xauth                 || need+=(xauth)   # xvfb-run needs it
have xdotool               || need+=(xdotool)
have xwininfo              || need+=(x11-utils)
pkg_installed imagemagick  || need+=(imagemagick)
pkg_installed fonts-ipafont-gothic || need+=(fonts-ipafont-gothic)
pkg_installed wine32:i386  || need+=(wine wine32:i386)
pkg_installed wine64       || need+=(wine64)

[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if printf '%s\n' "${need[@]}" | grep -q ':i386$'; then
    dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${need[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
