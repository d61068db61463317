#!/usr/bin/env bash
# `make run`: starts the program under Wine in a prefix of its own under build/.
#   scripts/run.sh missing     the product is not installed: Connect explains
#   scripts/run.sh installed   a prepared C:\Velkarn\Velkarn.exe and its registry value:
#                              Connect opens the upgrade page
# With a display, the program runs there until it is closed. Without one, it runs on
# a virtual display, screenshots are saved, Connect is pressed once, and it is closed.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
situation=${1:-missing}
case "$situation" in missing|installed) ;; *) echo "usage: $0 missing|installed" >&2; exit 2 ;; esac

source "$repo/tests/wine/env.sh"
export VELKARN_WINEPREFIX="$WINEPREFIX-run"
source "$repo/tests/wine/env.sh"
"$repo/tests/wine/prefix.sh"

run_dir=$repo/build/run
mkdir -p "$run_dir"
rm -f "$run_dir/opened-address.txt"

# The address goes to a real browser where there is one; otherwise it is written
# down so that it can be printed.
cat > "$run_dir/show-address.sh" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$1" > "$run_dir/opened-address.txt"
SCRIPT
chmod +x "$run_dir/show-address.sh"
"$WINE" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ \
    /d "xdg-open,firefox,chromium,$run_dir/show-address.sh" /f >/dev/null 2>&1

if [ "$situation" = installed ]; then
    mkdir -p "$WINEPREFIX/drive_c/Velkarn"
    : > "$WINEPREFIX/drive_c/Velkarn/Velkarn.exe"
    "$WINE" reg add 'HKCU\Software\Velkarn' /v InstallPath /t REG_SZ /d 'C:\Velkarn\' /f >/dev/null 2>&1
else
    "$WINE" reg delete 'HKCU\Software\Velkarn' /f >/dev/null 2>&1 || true
fi
wineserver -k 2>/dev/null || true

program=$VELKARN_TEST_BUILD/VelkarnVupTool.exe
echo "Product $situation; running $program (Wine $VELKARN_WINE_ARCH, prefix $WINEPREFIX)"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    LC_ALL=${LC_ALL:-ja_JP.UTF-8} "$WINE" "$program" || true
    wineserver -w
else
    python3 "$repo/scripts/run_headless.py" "$run_dir"
fi
if [ -f "$run_dir/opened-address.txt" ]; then
    echo "The program asked the browser to open: $(cat "$run_dir/opened-address.txt")"
fi
