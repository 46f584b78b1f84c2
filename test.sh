#!/bin/sh
# Sets up, builds with warnings as errors, and runs every test: widget and
# logic tests offscreen, web-engine tests under Xvfb, then the fuzzers briefly.
set -eu
cd "$(dirname "$0")"
. tools/setup.sh

cmake -S . -B build -G Ninja -Wno-dev -DQORVEL_WERROR=ON >/dev/null
cmake --build build

cd build
ctest --output-on-failure -LE web -j2
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -L web
cd ..

if [ -x tests/run_fuzzers.sh ]; then
    tests/run_fuzzers.sh 5
fi

bad=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep -c warning || true)
if [ "$bad" != 0 ]; then
    echo "clang-format would change $bad places; run clang-format -i on the files named above"
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep warning | head -20
    exit 1
fi
echo "All tests passed."
