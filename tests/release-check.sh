#!/bin/sh
# The release zip as a Windows user gets it: unpacked into the sandbox,
# its binaries the i686 build's, its program started from its own folder.
#   release-check.sh ZIP BIN SANDBOX SOURCE WINE WINESERVER RELEASE_TESTS.EXE
set -eu
zip=$1 bin=$2 root=$3 source=$4 wine=$5 server=$6 tests=$7
disk=$(cat "$root/disk")
release="$disk/release"
rm -rf "$release"
mkdir -p "$release"
(cd "$release" && cmake -E tar xf "$zip")
got=$(cd "$release" && ls | sort | tr '\n' ' ')
[ "$got" = "README.TXT ostrel32.dll zorvex.hlp zorvex32.exe " ] || { echo "FAIL: the zip holds $got"; exit 1; }
# PE machine word: 0x014c is i386.
machine() {
    pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}
for f in zorvex32.exe ostrel32.dll; do
    [ "$(machine "$release/$f")" = 014c ] || { echo "FAIL: $f is not an i386 binary"; exit 1; }
    cmp -s "$release/$f" "$bin/$f" || { echo "FAIL: $f differs from the i686 build's"; exit 1; }
done
cmp -s "$release/zorvex.hlp" "$bin/zorvex.hlp" || { echo "FAIL: zorvex.hlp differs"; exit 1; }
grep -q "$(printf 'HKEY_CURRENT_USER\\\\Software\\\\Halvorn\\\\Zorvex\\\\Options\r')" "$release/README.TXT" ||
    { echo "FAIL: README.TXT lacks the options key or its Windows line ends"; exit 1; }
echo "release: $(basename "$zip") holds the i686 binaries, the help file and README.TXT"
sh "$source/tools/wine/wine-run.sh" "$root" "$source" "$wine" "$server" "$tests"
