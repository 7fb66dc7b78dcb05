#!/bin/sh
# Runs one of the project's Windows binaries in the sandbox prefix:
#   wine-run.sh ROOT SOURCE WINE WINESERVER PROGRAM [ARGS...]
# Refuses when any drive of the prefix reaches /, $HOME or the source tree.
set -eu
root=$1 source=$2 wine=$3 server=$4 program=$5
shift 5
prefix="$root/prefix"
[ -f "$root/disk" ] || { echo "wine-run: no sandbox at $root (run the sandbox_setup test)" >&2; exit 1; }
disk=$(cat "$root/disk")

real() { readlink -f "$1" 2>/dev/null || echo "$1"; }
src=$(real "$source")
home=$(real "${HOME:-/root}")
for d in "$prefix"/dosdevices/*:; do
    [ -e "$d" ] || [ -L "$d" ] || continue
    target=$(real "$d")
    for guarded in "$src" "$home" /; do
        case "$guarded/" in
        "$target"/*|"$target/")
            echo "wine-run: refusing: drive $(basename "$d") maps $target, which reaches $guarded" >&2
            exit 1 ;;
        esac
    done
done
[ "$(real "$prefix/dosdevices/s:")" = "$(real "$disk")" ] || { echo "wine-run: s: is not the sandbox" >&2; exit 1; }

# The binaries run from the sandbox drive, beside their DLLs and help file.
bindir=$(dirname "$program")
for f in "$bindir"/*.exe "$bindir"/*.dll "$bindir"/*.hlp; do
    [ -f "$f" ] && cp -u "$f" "$disk/bin/"
done
mkdir -p "$disk/work"
# Unix symbolic links for the walk's tests (Wine shows the folder links as
# reparse points, the file links as plain files); relative, so they point
# nowhere but into the sandbox.
links="$disk/links"
rm -rf "$links"
mkdir -p "$links/outside" "$links/empty-outside" "$links/linked"
echo "precious contents" > "$links/outside/precious.txt"
echo "also precious" > "$links/outside/second.txt"
echo own > "$links/linked/own.txt"
ln -s ../outside "$links/linked/to-outside"
ln -s ../empty-outside "$links/linked/to-empty"
ln -s ../outside/precious.txt "$links/linked/to-precious"
ln -s outside "$links/dropped-link"
ln -s outside/second.txt "$links/dropped-file-link"
# A link whose target's name (over 600 characters) passes every buffer of
# the link test.
far=far
for level in 1 2 3 4 5; do far="$far/$(printf '%0120d' 0 | tr 0 d)"; done
mkdir -p "$links/$far" "$links/long-link"
echo "far and precious" > "$links/$far/precious.txt"
ln -s "../$far/precious.txt" "$links/long-link/to-far"
# Wine reports what "plan." reaches as "plan": here it is a link to it.
mkdir -p "$links/dotted"
echo namesake > "$links/dotted/plan"
ln -s plan "$links/dotted/plan."
# Tests work in S:\work; the program itself starts in its own folder, where
# the help viewer finds zorvex.hlp.
cd "$disk/${ZORVEX_RUN_DIR:-work}"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINESERVER="$server" WINELOADER="$wine"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export DISPLAY="$(cat "$root/display")"
export ZORVEX_TEST_SOURCE="$src" ZORVEX_TEST_HOME="$home"
# Wine's own services outlive the program and keep whatever output they
# inherited open: hand them a file, not the caller's pipe.
log=$(mktemp "$root/run.XXXXXX")
trap 'cat "$log"; rm -f "$log"; exit 143' TERM INT
set +e
"$wine" "S:\\bin\\$(basename "$program")" "$@" > "$log" 2>&1 < /dev/null &
wait $!
rc=$?
cat "$log"
rm -f "$log"
exit $rc
