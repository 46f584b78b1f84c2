#!/bin/sh
# Runs bench_sound N times (default 5) against a PulseAudio null sink of its
# own: a private daemon in a temporary folder, so no other program on the
# machine hears it or finds a sound server that was not there before.
#
#   bench/sound.sh [N]        (needs Debian's pulseaudio, for the bench only)
set -eu
cd "$(dirname "$0")/.."
runs="${1:-5}"
build="${QORVEL_BENCH_BUILD:-build}"
flock /tmp/qorvel-build.lock cmake --build "$build" --target bench_sound >/dev/null
PULSE_RUNTIME_PATH=$(mktemp -d)
PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
export PULSE_RUNTIME_PATH PULSE_SERVER
pulseaudio --daemonize=yes --exit-idle-time=-1 -n --disable-shm=yes \
    --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native" \
    --load="module-null-sink sink_name=bench" \
    --load="module-always-sink" --log-target=stderr 2>/dev/null
trap 'pulseaudio --kill; rm -rf "$PULSE_RUNTIME_PATH"' EXIT
pactl set-default-sink bench
sleep 1
i=0
while [ "$i" -lt "$runs" ]; do
    flock /tmp/qorvel-build.lock "$build/bench/bench_sound"
    i=$((i + 1))
done
