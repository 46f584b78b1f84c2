#!/bin/sh
# Builds the .deb and checks it the way a user meets it: what it holds,
# lintian, the menu entry and the AppStream file, and then the program
# unpacked into a scratch root and started under Xvfb with a fresh home: it
# must make its data folder there and come up with category 1's list.
#
#   tests/package/check_package.sh [build folder]      (default: build)
#
# Leaves the package in the build folder and a picture of the window as
# package-start.png there when ImageMagick's import is installed.
set -eu

if [ "${1:-}" = --inside-display ]; then
    # Runs under xvfb-run: start the unpacked program as a first-time user.
    program=$2 home=$3 shot=$4
    data="$home/.local/share/Qorvel儿童乐园"
    # The scratch root lies in the system's temporary folder, from where the
    # program would first warn that it runs from a temporary folder; give it
    # a temporary folder elsewhere, as an installed program has.
    mkdir -p "$home/tmp"
    HOME=$home TMPDIR=$home/tmp "$program" >"$home/program.log" 2>&1 &
    pid=$!
    waited=0
    until [ -f "$data/.defaults-copied" ] && xwininfo -root -tree | grep -q '"Qorvel儿童乐园"'; do
        if ! kill -0 $pid 2>/dev/null || [ $waited -ge 60 ]; then
            echo "the program did not come up; its output:"
            cat "$home/program.log"
            kill $pid 2>/dev/null || true
            exit 1
        fi
        sleep 1
        waited=$((waited + 1))
    done
    # A missing or unreadable first list ends the program at start; still
    # running a few seconds later means category 1 was shown. By then the
    # web library has been loaded and the web engine's helper has started.
    sleep 5
    if ! kill -0 $pid 2>/dev/null; then
        echo "the program ended after showing its window; its output:"
        cat "$home/program.log"
        exit 1
    fi
    if ! pgrep -P $pid -f QtWebEngineProcess >/dev/null; then
        echo "the program did not start its player; its output:"
        cat "$home/program.log"
        kill $pid
        exit 1
    fi
    if command -v import >/dev/null 2>&1; then
        import -window root "$shot" || true
    fi
    kill $pid
    wait $pid 2>/dev/null || true
    exit 0
fi

cd "$(dirname "$0")/../.."
build=${1:-build}
fail() {
    echo "package check: $*"
    exit 1
}

cmake --build "$build" --target qorvel_app >/dev/null
rm -f "$build"/qorvel_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack could not build the package"
deb=$(ls "$build"/qorvel_*.deb)
id=$(sed -n 's/^QORVEL_APP_ID:STRING=//p' "$build/CMakeCache.txt")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# What it holds: the program and Ruffle with its licences, the launcher, the
# menu entry, every size of the icon, the AppStream file, the defaults
# every user starts from, and Debian's documentation files.
dpkg-deb -c "$deb" | sed -e 's/ -> .*//' -e 's/^.* \.\//\//' >"$scratch/contents"
{
    printf '%s\n' /usr/bin/qorvel /usr/lib/qorvel/Qorvel儿童乐园 /usr/lib/qorvel/libqorvel_web.so \
        /usr/lib/qorvel/ruffle/ruffle.js \
        /usr/lib/qorvel/ruffle/LICENSE_MIT /usr/lib/qorvel/ruffle/LICENSE_APACHE \
        "/usr/share/applications/$id.desktop" "/usr/share/metainfo/$id.metainfo.xml" \
        /usr/share/doc/qorvel/copyright /usr/share/doc/qorvel/changelog.gz \
        /usr/share/man/man1/qorvel.1.gz /usr/share/qorvel/defaults/自定义节目/我的动画/
    for size in 16 24 32 48 64 256; do
        echo "/usr/share/icons/hicolor/${size}x${size}/apps/qorvel.png"
    done
    find data -type f ! -name .keep | sed 's|^data/|/usr/share/qorvel/defaults/|'
} >"$scratch/expected"
missing=$(grep -vxF -f "$scratch/contents" "$scratch/expected" || true)
[ -z "$missing" ] || fail "missing from the package: $missing"
if ! grep -q '^/usr/lib/qorvel/ruffle/.*\.wasm$' "$scratch/contents"; then
    fail "Ruffle's .wasm is missing from the package"
fi
if grep -E '\.map$|/res/fla/|\.keep$|/cons/guihu2\.inb$' "$scratch/contents"; then
    fail "the files above do not belong in the package"
fi
dpkg-deb -f "$deb" Depends | grep -q 'libqt6webenginewidgets6' ||
    fail "the web library's dependencies were not worked out"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6webenginecore6-bin' ||
    fail "the package does not depend on the web engine's helper process"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6core6' ||
    fail "the package's library dependencies were not worked out"

# Lintian: errors fail; the warnings left are listed.
if ! lintian --fail-on error --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1; then
    cat "$scratch/lintian"
    fail "lintian found errors"
fi
grep -v '^running with root privileges' "$scratch/lintian" || true

dpkg-deb -x "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/$id.desktop" ||
    fail "the desktop entry is not valid"
# The file manager offers the program for Flash movies, and hands it the files.
for type in application/x-shockwave-flash application/vnd.adobe.flash.movie; do
    grep -q "^MimeType=.*$type;" "$scratch/root/usr/share/applications/$id.desktop" ||
        fail "the desktop entry does not declare $type"
done
grep -q '^Exec=qorvel %F$' "$scratch/root/usr/share/applications/$id.desktop" ||
    fail "the desktop entry does not pass the files it is given"
# Where the desktop's tools are there: once the entry is installed, it is
# the program that opens Flash movies.
if command -v xdg-mime >/dev/null 2>&1 && command -v update-desktop-database >/dev/null 2>&1; then
    apps="$scratch/xdg/applications"
    mkdir -p "$apps"
    cp "$scratch/root/usr/share/applications/$id.desktop" "$apps/"
    update-desktop-database "$apps"
    XDG_DATA_HOME="$scratch/xdg" XDG_DATA_DIRS="$scratch/xdg" XDG_CONFIG_HOME="$scratch/xdg" \
        xdg-mime query default application/x-shockwave-flash >"$scratch/default" 2>&1 || true
    grep -qx "$id.desktop" "$scratch/default" ||
        fail "xdg-mime does not name $id.desktop for Flash movies: $(cat "$scratch/default")"
fi
appstreamcli validate --no-net --pedantic "$scratch/root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the AppStream file is not valid"

mkdir "$scratch/home"
find "$scratch/root" | sort >"$scratch/before"
xvfb-run -a -s "-screen 0 1280x800x24" "$0" --inside-display \
    "$scratch/root/usr/lib/qorvel/Qorvel儿童乐园" "$scratch/home" "$PWD/$build/package-start.png" ||
    fail "the unpacked program did not start"
# The data folder holds the installed defaults and an empty cache.
data="$scratch/home/.local/share/Qorvel儿童乐园"
diff -r -x .defaults-copied -x fla "$scratch/root/usr/share/qorvel/defaults" "$data" ||
    fail "the data folder is not a copy of the installed defaults"
[ -d "$data/res/fla" ] || fail "the data folder lacks res/fla/"
find "$scratch/root" | sort | cmp -s - "$scratch/before" ||
    fail "the program wrote into its installed folders"
echo "package check: $deb is sound"
