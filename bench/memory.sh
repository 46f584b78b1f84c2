#!/bin/sh
# Memory of the program and all its helper processes (bench/pss.sh): the real
# program 25 s after start with category 1 shown and nothing played, then
# bench_memory's session of 20 programmes (the demo server's movies) in one
# player. Starts the demo server for the information strip. Needs a display
# and the shared build lock:
#
#   flock /tmp/qorvel-build.lock xvfb-run -n 77 -s '-screen 0 1280x1024x24' bench/memory.sh [runs]
set -eu
cd "$(dirname "$0")/.."
runs="${1:-1}"
cmake --build build --target qorvel_app bench_memory make_demo_content >/dev/null
# Chromium's sandbox cannot run as root.
if [ "$(id -u)" = 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
server/demo-server.sh start >/dev/null
trap 'server/demo-server.sh stop >/dev/null' EXIT

i=0
while [ $i -lt "$runs" ]; do
    "build/app/Qorvel儿童乐园" >/dev/null 2>&1 &
    pid=$!
    sleep 25
    bench/pss.sh "$pid" "the program 25 s after start, category 1 shown, nothing played"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    i=$((i + 1))
done
echo
QORVEL_APP_DIR=build/app timeout 600 build/bench/bench_memory --pss bench/pss.sh \
    --movies build/demo-server/www/k7demo/flash --count 20 \
    --info http://127.0.0.1:8642/info/show1.htm 2>/dev/null
