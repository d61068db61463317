#!/usr/bin/env bash
# Creates the test prefix once: a 32-bit Wine prefix whose programs all open on one
# virtual desktop (no window manager needed, windows close at once).
set -euo pipefail
source "$(dirname "$0")/env.sh"

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.velkarn-ready" ] && exit 0

rm -rf "$WINEPREFIX"
echo "Creating the Wine prefix $WINEPREFIX ..." >&2
"$WINE" wineboot -i >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
# A server restarted after set-up lets every later process end at once.
wineserver -w
touch "$WINEPREFIX/.velkarn-ready"
