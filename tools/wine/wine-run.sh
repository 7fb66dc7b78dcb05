#!/bin/sh
# Runs one of the project's Windows binaries in the sandbox prefix:
#   wine-run.sh ROOT SOURCE WINE WINESERVER PROGRAM [ARGS...]
# Refuses when any drive of the prefix reaches /, $HOME or the source tree.
set -eu
. "$(dirname "$0")/env.sh"
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
    # By content, not by date: an older build of the same name runs too.
    [ -f "$f" ] && ! cmp -s "$f" "$disk/bin/${f##*/}" && cp "$f" "$disk/bin/"
done
mkdir -p "$disk/work"
# The link fixtures as the set-up made them: a run may shred their own
# files, and a faulty build (the mutation check's) may destroy what they
# point to; the next program must find them whole.
rm -rf "$disk/links"
cp -a "$root/links" "$disk/links"
# Tests work in S:\work; the program itself starts in its own folder, where
# the help viewer finds zorvex.hlp.
cd "$disk/${ZORVEX_RUN_DIR:-work}"
wine_env "$root" "$wine" "$server"
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
