#!/bin/sh
# Starts or stops the demo download server (Debian's nginx) on loopback.
#
#   server/demo-server.sh start [port]   content is made from data/cons once
#   server/demo-server.sh stop
#
# Everything lives in build/demo-server; the server is stopped by its own pid.
# server/publish-update.sh puts a new release with a demo updater on it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build/demo-server"
port="${2:-8642}"

start() {
    mkdir -p "$dir/tmp"
    if [ ! -f "$dir/www/guihu.txt" ]; then
        "$root/build/tools/make_demo_content" "$root/data/cons" "$dir/www"
    fi
    chmod -R a+rX "$dir/www"
    sed -e "s|@DIR@|$dir|g" -e "s|@PORT@|$port|g" "$root/server/nginx.conf.in" > "$dir/nginx.conf"
    stop quiet
    /usr/sbin/nginx -p "$dir" -c "$dir/nginx.conf" -e "$dir/error.log"
    echo "Demo download server on http://127.0.0.1:$port/ (pid $(cat "$dir/nginx.pid"))"
}

stop() {
    if [ -f "$dir/nginx.pid" ]; then
        pid=$(cat "$dir/nginx.pid")
        kill "$pid" 2>/dev/null || true
        i=0
        while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
        rm -f "$dir/nginx.pid"
        [ "${1:-}" = quiet ] || echo "Demo download server stopped"
    fi
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start [port] | stop" >&2; exit 2 ;;
esac
