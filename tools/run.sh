#!/bin/sh
# Installs what is missing, builds the program and starts it under Wine in
# a throwaway prefix whose only drives are its own c: and s:, a fresh
# temporary folder. Without a display it runs on a virtual one (Xvfb).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
sh "$top/tools/install-deps.sh"
mkdir -p "$top/build"
. "$top/tools/target.sh"
configure_and_build "$RUN_ARCH" OFF
bin="$top/build/$RUN_ARCH/bin"
sandbox="$top/build/$RUN_ARCH/run-sandbox"
trap 'sh "$top/tests/sandbox.sh" cleanup "$sandbox" "$WINESERVER"' EXIT
sh "$top/tests/sandbox.sh" setup "$sandbox" "$WINE" "$WINESERVER"
echo "starting zorvex32.exe; files dropped on it are destroyed. Close it to end."
ZORVEX_RUN_DIR=bin sh "$top/tests/wine-run.sh" "$sandbox" "$top" "$WINE" "$WINESERVER" "$bin/zorvex32.exe"
