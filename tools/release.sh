#!/bin/sh
# Installs what is missing and makes the release for Windows users:
# build/release/zorvex-VERSION-win32.zip with zorvex32.exe, ostrel32.dll,
# zorvex.hlp and README.TXT. Its own build folder, without the tests: the
# test command's build keeps its configuration, and nothing but the release
# is compiled.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/start.sh"
start_up
configure "$top/build/release" OFF
compile "$top/build/release" release
ls "$top"/build/release/zorvex-*-win32.zip
