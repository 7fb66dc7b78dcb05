#!/bin/sh
# Installs what is missing and makes the release for Windows users:
# build/i686/zorvex-VERSION-win32.zip with zorvex32.exe, ostrel32.dll,
# zorvex.hlp and README.TXT.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/target.sh"
sh "$top/tools/install-deps.sh"
mkdir -p "$top/build"
configure_and_build i686 ON
ls "$top"/build/i686/zorvex-*-win32.zip
