#!/bin/sh
# Start-up: from starting the process until its window is mapped (the
# programme list is filled before the window shows), for the program and for
# a bare Qt window, alternately in one run; and whether the program's window
# stays the one native window: every unmap and every other window with its
# caption mapped later is counted (bench_mapwatch). The program is watched
# for 5 s, long enough for the web engine to have been loaded and its views
# placed. Two more rows explain the difference: the program with its web
# views drawn through OpenGL (QT_QUICK_BACKEND=opengl), its window composed
# through OpenGL from the start, and the same with the window made for plain
# painting first (QT_WIDGETS_RHI=0: replaced once the web views come). Needs
# a display, and the shared build lock so that no build runs alongside:
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

watch() { # title, ms to watch, command, samples[, VAR=value for the command]
    line=$(timeout 30 env ${5:-QORVEL_BENCH=1} build/bench/bench_mapwatch --title "$1" --for-ms "$2" -- "$3" 2>/dev/null) || {
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
    watch "Qorvel儿童乐园4.2" 5000 "build/app/Qorvel儿童乐园" program_opengl QT_QUICK_BACKEND=opengl
    watch "Qorvel儿童乐园4.2" 5000 "build/app/Qorvel儿童乐园" program_raster "QT_QUICK_BACKEND=opengl QT_WIDGETS_RHI=0"
    i=$((i + 1))
done
row() { # label, samples
    m=$(cut -d' ' -f1 < "$samples/$2" | median)
    printf '%-36s first map median %6.1f ms  ratio to bare %.2f  unmaps %d  replaced windows %d  (all: %s)\n' \
        "$1" "$m" "$(echo "$m $b" | awk '{print $1 / $2}')" \
        "$(awk '{u += $2} END {print u}' "$samples/$2")" \
        "$(awk '{if ($3 > 1) r += $3 - 1} END {print r + 0}' "$samples/$2")" \
        "$(cut -d' ' -f1 < "$samples/$2" | tr '\n' ' ')"
}
b=$(cut -d' ' -f1 < "$samples/bare" | median)
echo "runs: $runs, each row's unmaps and replaced windows summed over the runs"
row "program" program
row "bare window" bare
row "program, views through OpenGL" program_opengl
row "the same, plain window first" program_raster
