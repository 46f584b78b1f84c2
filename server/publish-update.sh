#!/bin/sh
# Publishes a new release on the demo download server, so that the program's
# update check finds it: gengxin/qvgx.txt is a demo updater, which only
# writes a note, updater-ran.txt, into the folder it is started in (the
# program's application folder); gengxin/update.txt names the release and
# the updater's SHA-256.
#
#   server/publish-update.sh <version>    e.g. 4.3: letters, digits, ".", "-", "_"
#   server/publish-update.sh --withdraw   offer the demo folder's release again
#
# Works whether or not the server runs; the files are served as they change.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build/demo-server/www/gengxin"

usage() {
    echo "usage: $0 <version> | --withdraw" >&2
    exit 2
}

# Written beside the target and renamed over it, so the server never hands
# out half a file.
put() {
    cat > "$1.new"
    chmod a+r "$1.new"
    mv -f "$1.new" "$1"
}

[ $# -eq 1 ] || usage
mkdir -p "$dir"
chmod a+rx "$dir"
case "$1" in
    --withdraw)
        rm -f "$dir/qvgx.txt"
        head -n 1 "$root/data/cons/update.inb" | put "$dir/update.txt"
        echo "The demo server offers release $(cut -d, -f1 "$dir/update.txt" | tr -d '\r') again, without an updater."
        exit 0 ;;
    ''|-*|*[!A-Za-z0-9._-]*) usage ;;
esac
version=$1

# The updater first: a version is never offered before its updater is there.
put "$dir/qvgx.txt" <<EOF
#!/bin/sh
# Demo updater of release $version. A real one would replace the program; this
# one notes that it ran and where.
echo "Updater of release $version ran in \$(pwd) at \$(date)" > updater-ran.txt
EOF
sha=$(sha256sum "$dir/qvgx.txt" | cut -d' ' -f1)
printf '%s,%s\r\n' "$version" "$sha" | put "$dir/update.txt"
echo "Published release $version on the demo server. The program finds it five minutes"
echo "after it starts, starts the updater and ends; the updater writes updater-ran.txt"
echo "into the program's folder (build/app)."
