#!/usr/bin/env bash
# `make dist`: the release in build/dist/ — the program, its SHA-256 sum and the
# end user's read-me in Japanese (UTF-8 with a byte order mark and CRLF line ends,
# so that every Notepad shows it right).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
dist=$repo/build/dist
rm -rf "$dist"
mkdir -p "$dist"
cp "$repo/build/win32/VelkarnVupTool.exe" "$dist/"
(cd "$dist" && sha256sum VelkarnVupTool.exe > VelkarnVupTool.exe.sha256)
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$repo/docs/README-ja.txt"; } > "$dist/README-ja.txt"
echo "Release in $dist:"
(cd "$dist" && ls -l && cat VelkarnVupTool.exe.sha256)
