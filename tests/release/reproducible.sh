#!/usr/bin/env bash
# Builds the program twice from the same sources, in two different folders one
# after the other, and checks that both builds give the same bytes: no time stamp
# or build path may end up in the program.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/velkarn-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

build() {
    local tree=$1
    mkdir -p "$tree"
    # The files git tracks, as they are in the working tree.
    (cd "$repo" && git ls-files -z | xargs -0 cp --parents -t "$tree")
    cmake -S "$tree" -B "$tree/../build" -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-i686.cmake" \
          -DCMAKE_BUILD_TYPE=MinSizeRel -DVELKARN_WITH_TESTS=OFF >/dev/null
    cmake --build "$tree/../build" --target VelkarnVupTool -j"$(nproc)" >/dev/null
}

build "$work/first/src"
build "$work/second/a/longer/path/to/the/sources"
first=$work/first/build/VelkarnVupTool.exe
second=$work/second/a/longer/path/to/the/build/VelkarnVupTool.exe

if cmp -s "$first" "$second"; then
    echo "reproducible: both builds are $(stat -c %s "$first") bytes, sha256 $(sha256sum "$first" | cut -d' ' -f1)"
    exit 0
fi
echo "NOT reproducible: the two builds differ" >&2
cmp -l "$first" "$second" | head -n 20 >&2 || true
exit 1
