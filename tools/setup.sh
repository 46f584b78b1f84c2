#!/bin/sh
# Installs what the program and its tests need, once; quick when all is there.
# Sourced by run.sh and test.sh from the repository's root.
set -eu

packages="build-essential cmake ninja-build pkg-config
qt6-base-dev qt6-qpa-plugins qt6-webengine-dev libqt6webenginecore6-bin
qt6-multimedia-dev qt6-5compat-dev libgl-dev zlib1g-dev liblzma-dev
fonts-noto-cjk xvfb xauth nginx-light clang-14 libclang-rt-14-dev clang-format
dpkg-dev file lintian desktop-file-utils appstream x11-utils xdg-utils"

missing=""
# Node.js may come from elsewhere than Debian; Debian's npm is only needed
# when there is no npm at all.
command -v npm >/dev/null 2>&1 || packages="$packages nodejs npm"
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

# The Flash runtime, pinned in package-lock.json.
want=$(sed -n 's/.*"@ruffle-rs\/ruffle": "\([^"]*\)".*/\1/p' package.json | head -n 1)
have=$(sed -n 's/.*"version": "\([^"]*\)".*/\1/p' node_modules/@ruffle-rs/ruffle/package.json 2>/dev/null | head -n 1 || true)
if [ "$want" != "$have" ]; then
    echo "Installing the Flash runtime $want"
    npm ci --no-audit --no-fund --loglevel=error
fi
