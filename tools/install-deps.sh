#!/bin/sh
# Installs what building and running Zorvex on Linux needs, on a fresh Debian.
# Safe to run again: it only installs what is missing, and a machine that
# has everything runs no apt command at all.
#
# A package mirror is sometimes briefly out of step: one index fails to
# download and apt-get update exits 100. The update is then tried once more,
# and if an index still fails the install goes on with the lists apt has.
# Those lists can pair a new amd64 library with an i386 twin apt cannot see;
# an install that cannot be resolved is tried again preferring the release's
# own versions (-t <codename>).
set -e
need=""
have() { dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed'; }
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    need=update
fi
# Callers may name more packages (the benchmark needs gnuplot).
# fonts-wine: without it (a recommendation only) Wine draws the title
# buttons of every window as letters.
PKGS="cmake make g++ mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32 wine64 fonts-wine xvfb googletest $*"
missing=""
for p in $PKGS; do have "$p" || missing="$missing $p"; done
[ -n "$missing" ] || [ -n "$need" ] || exit 0

export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT

if ! $SUDO apt-get update -q > "$log" 2>&1 && ! $SUDO apt-get update -q > "$log" 2>&1; then
    failed=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log" | tr "\n" " " | sed "s/ $//")
    echo "install-deps: apt-get update failed twice (${failed:-$(tail -n 1 "$log")}); going on with the package lists apt has"
fi
[ -n "$missing" ] || exit 0

if $SUDO apt-get install -y -q --no-install-recommends $missing; then
    exit 0
fi
codename=$(. "${ZORVEX_OS_RELEASE:-/etc/os-release}" && echo "${VERSION_CODENAME:-}")
if [ -z "$codename" ]; then
    echo "install-deps: cannot install:$missing" >&2
    exit 1
fi
echo "install-deps: the install could not be resolved; trying again with the release's own versions (-t $codename)"
if ! $SUDO apt-get install -y -q --no-install-recommends -t "$codename" $missing; then
    echo "install-deps: cannot install:$missing (apt's reason above)" >&2
    exit 1
fi
