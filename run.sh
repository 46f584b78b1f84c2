#!/bin/sh
# Sets up, builds and starts the program with the demo download server.
set -eu
cd "$(dirname "$0")"
. tools/setup.sh

cmake -S . -B build -G Ninja -Wno-dev >/dev/null
# The program, its application folder and the demo content; the tests are
# built by test.sh.
cmake --build build --target qorvel_app make_demo_content

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to open the window on."
    echo "Run it under a virtual display instead:"
    echo "    xvfb-run -a -s '-screen 0 1280x800x24' ./run.sh"
    exit 1
fi

server_stop=""
if [ -x server/demo-server.sh ]; then
    server/demo-server.sh start
    server_stop="server/demo-server.sh stop"
    trap '$server_stop' EXIT INT TERM
fi
"build/app/Qorvel儿童乐园" "$@"
