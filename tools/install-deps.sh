#!/bin/sh
# Installs what building and running Zorvex on Linux needs, on a fresh Debian.
# Safe to run again: it only installs what is missing.
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
PKGS="cmake make g++ mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32 wine64 xvfb googletest $*"
missing=""
for p in $PKGS; do have "$p" || missing="$missing $p"; done
if [ -n "$missing" ] || [ -n "$need" ]; then
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    [ -z "$missing" ] || $SUDO apt-get install -y -q --no-install-recommends $missing
fi
