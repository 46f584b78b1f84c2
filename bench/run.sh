#!/bin/sh
# Builds the benchmarks (through the shared build lock) and runs them.
#   bench/run.sh [--runs N] [--mib M]   download benchmarks (default 7 runs, 10 MiB)
#   bench/run.sh --latency-ms 25 [--rate-mbit R]
#                                       the same through a proxy delaying each direction
#   bench/run.sh --player               also the player start-up benchmark (needs Xvfb),
#                                       once at once and once 3 s after the player was made,
#                                       and the first programme chosen 3 s after start
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build=${QORVEL_BENCH_BUILD:-$source_dir/build-bench}
lock=/tmp/qorvel-build.lock

player=no
if [ "${1:-}" = "--player" ]; then
    player=yes
    shift
fi

generator=
command -v ninja >/dev/null 2>&1 && generator="-G Ninja"
if [ ! -f "$build/CMakeCache.txt" ]; then
    # shellcheck disable=SC2086
    flock "$lock" cmake -S "$source_dir" -B "$build" $generator -DQORVEL_WERROR=ON >/dev/null
fi
flock "$lock" cmake --build "$build" -j2 --target bench_download bench_player \
    bench_firstprogramme >/dev/null

export QORVEL_APP_DIR="$build/app"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_download" "$@" 2>/dev/null
if [ "$player" = yes ]; then
    flock "$lock" cmake --build "$build" -j2 --target app_folder >/dev/null
    # Chromium's sandbox cannot run as root.
    if [ "$(id -u)" = 0 ]; then
        export QTWEBENGINE_DISABLE_SANDBOX=1
    fi
    echo
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_player" 2>/dev/null
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_player" --idle-ms 3000 2>/dev/null
    echo
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_firstprogramme" 2>/dev/null
fi
