#!/bin/sh
# Runs a test as an ordinary user when started as root: root may write into
# read-only folders, so a test of what happens there would check nothing.
# Where that user cannot reach the test program, it runs as it was started.
set -eu
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null 2>&1; then
    as_nobody="setpriv --reuid=65534 --regid=65534 --clear-groups"
    if $as_nobody test -x "$1"; then
        exec $as_nobody "$@"
    fi
fi
exec "$@"
