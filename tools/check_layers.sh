#!/bin/sh
# The core folders must not include anything from the GUI ones: the arrows of
# the include graph run downwards only. Prints every include that runs back
# up and fails if there is one.
set -eu
cd "$(dirname "$0")/.."
core_files=$(ls src/core/* src/catalogue/* src/download/* src/lists/* \
    src/playback/swf* src/playback/programmeselection.* src/playback/progresstick.* 2>/dev/null; ls src/update/* 2>/dev/null || true)
bad=$(grep -n -E '#include "(app|layout|sound|platform|web)/|#include "playback/flashplayer' \
    $core_files || true)
if [ -n "$bad" ]; then
    echo "core files include GUI files:"
    echo "$bad"
    exit 1
fi
echo "include layers: core below gui, nothing runs back up"
