#!/bin/sh
# Start-up: from starting the process until its window is mapped (the
# programme list is filled before the window shows), for the program and for
# a bare Qt window, alternately in one run; and whether the program's window
# stays the one native window: every unmap and every other window with its
# caption mapped later is counted (bench_mapwatch). The program is watched
# for 5 s, long enough for the web engine to have been loaded and its views
# placed. Needs a display, and the shared build lock so that no build runs
# alongside:
#
#   flock /tmp/qorvel-build.lock xvfb-run -n 77 -s '-screen 0 1280x1024x24' bench/startup.sh [runs]
set -eu
cd "$(dirname "$0")/.."
runs="${1:-5}"
cmake --build build --target qorvel_app bench_bare_window bench_mapwatch >/dev/null
# Chromium's sandbox cannot run as root.
if [ "$(id -u)" = 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

# Samples of our own, so that runs from two checkouts at once do not mix.
samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT

watch() { # title, ms to watch, command; appends "map unmaps windows" to $samples/$4
    line=$(timeout 30 build/bench/bench_mapwatch --title "$1" --for-ms "$2" -- "$3" 2>/dev/null) || {
        echo "$1: no window" >&2
        exit 1
    }
    echo "$1: $line" >&2
    echo "$line" | awk '{print $2, $4, $6}' >> "$samples/$4"
}

i=0
while [ $i -lt "$runs" ]; do
    watch "Qorvel儿童乐园4.2" 5000 "build/app/Qorvel儿童乐园" program
    watch "bare window" 1500 build/bench_bare_window bare
    i=$((i + 1))
done
p=$(cut -d' ' -f1 < "$samples/program" | median)
b=$(cut -d' ' -f1 < "$samples/bare" | median)
echo "runs: $runs"
echo "program:     first map median $p ms  (all: $(cut -d' ' -f1 < "$samples/program" | tr '\n' ' '))"
echo "bare window: first map median $b ms  (all: $(cut -d' ' -f1 < "$samples/bare" | tr '\n' ' '))"
awk -v p="$p" -v b="$b" 'BEGIN { printf "ratio program / bare window: %.2f\n", p / b }'
awk '{u += $2; if ($3 > 1) r += $3 - 1} END {
    printf "program window: %d unmaps, %d replaced windows in %d runs\n", u, r, NR }' \
    "$samples/program"
