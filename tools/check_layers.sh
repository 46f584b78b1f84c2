#!/bin/sh
# The arrows of the include graph run downwards only. The libraries are the
# folders under src/, in the order the top CMakeLists.txt adds them, lowest
# first; a file may include headers of its own library and of those added
# before it. Prints every include that runs back up and fails if there is one.
set -eu
cd "$(dirname "$0")/.."
order=$(sed -n 's|^add_subdirectory(src/\([a-z]*\))$|\1|p' CMakeLists.txt)
if [ -z "$order" ]; then
    echo "no libraries found in CMakeLists.txt"
    exit 1
fi
for lib in $(ls src); do
    if ! echo "$order" | grep -qx "$lib"; then
        echo "src/$lib is not a library added by CMakeLists.txt"
        exit 1
    fi
done
status=0
higher="$order"
for lib in $order; do
    higher=$(echo "$higher" | sed 1d)
    [ -n "$higher" ] || break
    pattern=$(echo "$higher" | paste -sd'|')
    bad=$(grep -rn -E "#include \"($pattern)/" "src/$lib" || true)
    if [ -n "$bad" ]; then
        echo "src/$lib includes libraries above it:"
        echo "$bad"
        status=1
    fi
done
# A file is paired with the header of the same name: two libraries must not
# both have one, or a reader pairs them wrongly.
shared=$(for lib in $order; do
    find "src/$lib" -name '*.h' -o -name '*.cpp' | sed 's|.*/||; s|\.[^.]*$||' | sort -u
done | sort | uniq -d)
if [ -n "$shared" ]; then
    echo "file names used by more than one library:"
    echo "$shared"
    status=1
fi
[ $status -eq 0 ] && echo "include layers: $(echo $order | sed 's/ / < /g'), nothing runs back up"
exit $status
