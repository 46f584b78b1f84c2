#!/bin/sh
# Sets up, builds with warnings as errors, and runs every test: widget and
# logic tests offscreen, web-engine tests under Xvfb, the package, then the
# fuzzers briefly.
set -eu
cd "$(dirname "$0")"
. tools/setup.sh

cmake -S . -B build -G Ninja -Wno-dev -DQORVEL_WERROR=ON >/dev/null
cmake --build build

cd build
ctest --output-on-failure -LE web -j2
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -L web
cd ..

# The .deb: its contents, lintian, the menu entry, and a first start of the
# unpacked program in a fresh home.
tests/package/check_package.sh build

if [ -x tests/run_fuzzers.sh ]; then
    tests/run_fuzzers.sh 5
fi

tools/check_layers.sh
tools/check_sizes.py

# The formatting check must be able to fail: without the tool it would pass
# having checked nothing.
if ! command -v clang-format >/dev/null 2>&1; then
    echo "clang-format is missing, so the formatting cannot be checked"
    exit 1
fi
if ! git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror 2>/tmp/qorvel-format.$$; then
    head -20 /tmp/qorvel-format.$$
    rm -f /tmp/qorvel-format.$$
    echo "clang-format would change the files named above; run clang-format -i on them"
    exit 1
fi
rm -f /tmp/qorvel-format.$$
echo "All tests passed."
