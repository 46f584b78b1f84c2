#!/bin/sh
# Start-up cost: time from starting the process until its window is on the
# screen (the programme list is filled before the window shows), for the
# program and for a bare Qt window, alternately in one run. Needs a display:
#
#   xvfb-run -a -s '-screen 0 1280x800x24' bench/startup.sh [runs]
set -eu
cd "$(dirname "$0")/.."
runs="${1:-5}"
cmake --build build --target qorvel_app bench_bare_window >/dev/null

now_ms() { date +%s%3N; }

measure() { # command, window title
    start=$(now_ms)
    "$1" >/dev/null 2>&1 &
    pid=$!
    # xdotool's own --sync looks only every half second: poll faster.
    until timeout 2 xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null || [ $(($(now_ms) - start)) -gt 60000 ]; then
            kill "$pid" 2>/dev/null || true
            echo "$2: no window" >&2
            exit 1
        fi
        sleep 0.005
    done
    end=$(now_ms)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo "$2: $((end - start)) ms" >&2
    echo $((end - start))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

# Samples of our own, so that runs from two checkouts at once do not mix.
samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT
i=0
while [ $i -lt "$runs" ]; do
    measure "build/app/Qorvel儿童乐园" "Qorvel儿童乐园4.2" >> "$samples/program"
    measure build/bench_bare_window "bare window" >> "$samples/bare"
    i=$((i + 1))
done
p=$(median < "$samples/program")
b=$(median < "$samples/bare")
echo "runs: $runs"
echo "program:     median $p ms  (all: $(tr '\n' ' ' < "$samples/program"))"
echo "bare window: median $b ms  (all: $(tr '\n' ' ' < "$samples/bare"))"
awk -v p="$p" -v b="$b" 'BEGIN { printf "ratio program / bare window: %.1f\n", p / b }'
