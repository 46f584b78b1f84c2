#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a while.
#   tests/run_fuzzers.sh [seconds-per-target]   (default 5)
# Needs clang-14 and libclang-rt-14-dev. Builds into build-fuzz/ (or
# $FUZZ_BUILD_DIR); the normal build is not touched. Exits non-zero if a
# target does not build or finds a failing input (kept in the build folder).
set -eu
seconds=${1:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build-fuzz}
cxx=${FUZZ_CXX:-clang++-14}
mkdir -p "$out"

qt_flags=$(pkg-config --cflags Qt6Core Qt6Core5Compat)
qt_libs=$(pkg-config --libs Qt6Core Qt6Core5Compat)
flags="-std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -DQT_NO_KEYWORDS -DQT_NO_CAST_FROM_ASCII -I$root/src"

build() {
    source=$1; shift
    name=$(basename "$source" .cpp)
    # shellcheck disable=SC2086
    "$cxx" $flags $qt_flags "$root/tests/$source" "$@" -o "$out/$name" $qt_libs
}

build download/fuzz/fuzz_contentrange.cpp "$root/src/core/download/contentrange.cpp"
build download/fuzz/fuzz_keyfile.cpp "$root/src/core/download/serverkey.cpp" \
    "$root/src/core/base/textfile.cpp" "$root/src/core/base/atomicfile.cpp" "$root/src/core/base/apperror.cpp" \
    "$root/src/core/base/apppaths.cpp"
build playback/fuzz/fuzz_swfreader.cpp "$root/src/core/swf/swfreader.cpp" \
    "$root/src/core/swf/swfcompress.cpp" "$root/src/core/swf/swfrewriter.cpp" \
    "$root/src/core/swf/swfactions.cpp" -lz -llzma

seed() {
    dir=$1; shift
    mkdir -p "$dir"
    i=0
    for s in "$@"; do
        printf '%b' "$s" > "$dir/seed$i"
        i=$((i + 1))
    done
}
seed "$out/corpus_contentrange" 'bytes 0-40960/1048576' 'bytes 40960-81920/81921' \
    'bytes */1000' 'BYTES 0-0/1' 'bytes 00-01/002' 'bytes 0-1/999999999999999999'
seed "$out/corpus_keyfile" 'abcDEFghijKLM\r\n' '"abcDEFghijKLM",x\r\n' 'abc,DEF\n' \
    '\r\n\r\n' '\xd2\xbb\xb6\xfe\xc8\xfd\xcb\xc4\xce\xe5\xc1\xf9\xc6\xdf\xb0\xcb\xbe\xc5\xca\xae'

# Movies of every kind the test writer makes: versions, compressions, stop().
mkdir -p "$out/corpus_swfreader"
if [ -x "$root/build/tools/make_swf" ]; then
    i=0
    for args in "--version 6" "--version 8 --compress zlib" "--version 8 --compress lzma" \
        "--version 6 --stop 3" "--version 9 --as3"; do
        # shellcheck disable=SC2086
        "$root/build/tools/make_swf" --frames 5 $args "$out/corpus_swfreader/seed$i.swf" \
            >/dev/null 2>&1 || true
        i=$((i + 1))
    done
fi

status=0
for target in fuzz_contentrange fuzz_keyfile fuzz_swfreader; do
    corpus="$out/corpus_${target#fuzz_}"
    log="$out/$target.log"
    if (cd "$out" && "./$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" \
        > "$log" 2>&1); then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$target: ${runs:-?} executions, no failure"
    else
        echo "$target: FAILED, see $log"
        tail -n 30 "$log"
        status=1
    fi
done
exit $status
