#!/usr/bin/env bash
# Runs a Windows program under Wine in the test prefix: `wine-run.sh prog.exe args...`.
set -euo pipefail
here=$(dirname "$0")
"$here/prefix.sh"
source "$here/env.sh"
exec "$WINE" "$@"
