#!/usr/bin/env bash
# The launch benchmark behind `make bench`: times the program against a bare Win32
# window, and against the same window with the program's manifest, under Wine and
# prints the figures beside their targets. It shows numbers,
# it does not judge: a missed target still exits 0; only a failed measurement does
# not. Assumes the builds exist (`make all`).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/tests/wine/env.sh"
# A prefix of its own: tests running at the same time share the test prefix's
# server, which would both skew the timings and be killed by the restart below.
export VELKARN_WINEPREFIX="$WINEPREFIX-bench"
source "$repo/tests/wine/env.sh"
"$repo/tests/wine/prefix.sh"

rounds=${BENCH_ROUNDS:-20}
warmup=2
ours=$VELKARN_TEST_BUILD/VelkarnVupTool.exe
reference=$VELKARN_TEST_BUILD/bench/reference.exe
styled=$VELKARN_TEST_BUILD/bench/reference_styled.exe
timer=$VELKARN_TEST_BUILD/bench/launch_timer.exe
# Size and imports are those of the program as shipped: always the 32-bit build.
shipped=$repo/build/win32/VelkarnVupTool.exe
for file in "$ours" "$reference" "$styled" "$timer" "$shipped"; do
    [ -f "$file" ] || { echo "bench: $file is missing; run 'make all' first" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    # Let Wine's processes end by themselves first; force them only if they hang.
    timeout 15 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display of our own: the first free one from :70 up.
for n in $(seq 70 99); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
        [ -S "/tmp/.X11-unix/X$n" ] || ! kill -0 "$xvfb_pid" 2>/dev/null && break
        sleep 0.05
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        break
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "bench: could not start Xvfb" >&2; exit 1; }

# A fresh server, so nothing left from set-up or earlier runs slows the first rounds.
wineserver -k 2>/dev/null || true
wineserver -w

# A = ours, B = bare reference, C = styled reference.
mapfile -t windows_paths < <("$WINE" winepath -w "$ours" "$reference" "$styled" | tr -d '\r')
if ! timeout 900 "$WINE" "$timer" --rounds "$rounds" --warmup "$warmup" \
        "${windows_paths[@]}" >"$work/timer.txt"; then
    tr -d '\r' <"$work/timer.txt" >&2
    echo "bench: the launch timer could not measure" >&2
    exit 1
fi

declare -A fig
while read -r key value; do fig[$key]=$value; done < <(tr -d '\r' <"$work/timer.txt" | awk '
    /^rounds:/                   { sub(/.*failed:/, ""); gsub(/,/, ""); for (i = 1; i < NF; i += 2) print "failed_" $i, $(i+1) }
    /^start -> window shown/     { print "shown_min_" $(NF-3), $(NF-2); print "shown_med_" $(NF-3), $(NF-1); print "shown_max_" $(NF-3), $NF }
    /^WM_CLOSE -> ended/         { print "ended_min_" $(NF-3), $(NF-2); print "ended_med_" $(NF-3), $(NF-1); print "ended_max_" $(NF-3), $NF }
    /^peak working set/          { print "peak_" $(NF-1), $NF }
    /^private bytes/             { print "private_" $(NF-1), $NF }
    /^ratio A\/[A-Z] start/      { print "ratio_shown_" substr($2, 3), $NF }
    /^ratio A\/[A-Z] peak/       { print "ratio_peak_" substr($2, 3), $NF }
    /^ratio A\/[A-Z] private/    { print "ratio_private_" substr($2, 3), $NF }')
for key in failed_{A,B,C} {shown,ended}_{min,med,max}_{A,B,C} {peak,private}_{A,B,C} ratio_{shown,peak,private}_{B,C}; do
    [ -n "${fig[$key]:-}" ] || { tr -d '\r' <"$work/timer.txt" >&2; echo "bench: no '$key' in the timer's output" >&2; exit 1; }
done

at_most() { awk -v value="$1" -v limit="$2" 'BEGIN { exit !(value <= limit) }'; }
mark() { if at_most "$1" "$2"; then echo met; else echo missed; fi; }
# Against the styled reference the targets are shown for comparison, not judged.
would() { echo "would be $(mark "$@")"; }
divide() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 == 0) print "n/a"; else printf "%.3f", a / b }'; }

shown_mark() {
    local result
    result=$(mark "$1" 1.10)
    if [ "$result" = missed ]; then
        if at_most "$1" 1.25; then result="missed (within 1.25)"; else result="missed (over 1.25)"; fi
    fi
    echo "$result"
}

i686-w64-mingw32-strip -o "$work/stripped.exe" "$shipped"
size=$(stat -c %s "$shipped")
stripped_size=$(stat -c %s "$work/stripped.exe")
size_text=$size
[ "$stripped_size" = "$size" ] || size_text="$size ($stripped_size stripped)"

dlls=$(i686-w64-mingw32-objdump -p "$shipped" | awk '/DLL Name:/ { print $3 }' | tr '\n' ' ')
dll_mark=met
for dll in $dlls; do
    case ${dll^^} in
        KERNEL32.DLL | USER32.DLL | GDI32.DLL | ADVAPI32.DLL | SHELL32.DLL | COMCTL32.DLL | MSVCRT.DLL) ;;
        *) dll_mark=missed ;;
    esac
done

row() { printf '%-34s %11s %11s %11s %9s  %-30s %s\n' "$@"; }
echo "Launch benchmark: timings under Wine $VELKARN_WINE_ARCH (programs from ${VELKARN_TEST_BUILD#$repo/}), $rounds rounds each after $warmup warm-up, taken in turn"
echo "ours = VelkarnVupTool.exe, reference = bench/reference.exe (bare Win32 window, same layout),"
echo "styled = bench/reference_styled.exe (the reference with the program's manifest and InitCommonControlsEx)"
echo "ratio = ours/reference, judged against the targets; the 'ours/styled' lines give ours/styled, for comparison only"
echo
row "figure" "ours" "reference" "styled" "ratio" "target" ""
row "start -> window shown, median ms" "${fig[shown_med_A]}" "${fig[shown_med_B]}" "${fig[shown_med_C]}" "${fig[ratio_shown_B]}" "ratio <= 1.10 (never > 1.25)" "$(shown_mark "${fig[ratio_shown_B]}")"
row "  ours/styled" "" "" "" "${fig[ratio_shown_C]}" "same" "would be $(shown_mark "${fig[ratio_shown_C]}")"
row "start -> window shown, min ms" "${fig[shown_min_A]}" "${fig[shown_min_B]}" "${fig[shown_min_C]}" "" "" ""
row "start -> window shown, max ms" "${fig[shown_max_A]}" "${fig[shown_max_B]}" "${fig[shown_max_C]}" "" "" ""
row "WM_CLOSE -> ended, median ms" "${fig[ended_med_A]}" "${fig[ended_med_B]}" "${fig[ended_med_C]}" "" "ours <= 20 ms" "$(mark "${fig[ended_med_A]}" 20)"
row "WM_CLOSE -> ended, min ms" "${fig[ended_min_A]}" "${fig[ended_min_B]}" "${fig[ended_min_C]}" "" "" ""
row "WM_CLOSE -> ended, max ms" "${fig[ended_max_A]}" "${fig[ended_max_B]}" "${fig[ended_max_C]}" "" "" ""
row "peak working set, median KiB" "${fig[peak_A]}" "${fig[peak_B]}" "${fig[peak_C]}" "${fig[ratio_peak_B]}" "ratio <= 1.10" "$(mark "${fig[ratio_peak_B]}" 1.10)"
row "  ours/styled" "" "" "" "${fig[ratio_peak_C]}" "same" "$(would "${fig[ratio_peak_C]}" 1.10)"
row "private bytes, median KiB" "${fig[private_A]}" "${fig[private_B]}" "${fig[private_C]}" "${fig[ratio_private_B]}" "ratio <= 1.15" "$(mark "${fig[ratio_private_B]}" 1.15)"
row "  ours/styled" "" "" "" "${fig[ratio_private_C]}" "same" "$(would "${fig[ratio_private_C]}" 1.15)"
row "failed rounds" "${fig[failed_A]}" "${fig[failed_B]}" "${fig[failed_C]}" "" "" ""
row "size of build/win32 exe, bytes" "$size_text" "" "" "" "stripped <= 327680 (320 KiB)" "$(mark "$stripped_size" 327680)"
row "imported DLLs (build/win32 exe)" "$(wc -w <<<"$dlls")" "" "" "" "KERNEL32 USER32 GDI32 ADVAPI32" "$dll_mark"
row "" "" "" "" "" "SHELL32 COMCTL32 msvcrt only" ""
echo "  imports: $dlls"
echo
echo "manifest alone (styled / reference): start -> shown $(divide "${fig[shown_med_C]}" "${fig[shown_med_B]}")," \
     "peak working set $(divide "${fig[peak_C]}" "${fig[peak_B]}"), private bytes $(divide "${fig[private_C]}" "${fig[private_B]}")"
