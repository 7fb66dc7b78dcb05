#!/bin/sh
# Starts the i686 zorvex32.exe in a sandbox prefix of its own, in its own
# folder (where the help viewer finds zorvex.hlp), until it is closed.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/target.sh"
sandbox="$top/build/i686/run-sandbox"
trap 'sh "$top/tests/sandbox.sh" cleanup "$sandbox" "$WINESERVER"' EXIT
sh "$top/tests/sandbox.sh" setup "$sandbox" "$WINE" "$WINESERVER"
ZORVEX_RUN_DIR=bin sh "$top/tests/wine-run.sh" "$sandbox" "$top" "$WINE" "$WINESERVER" "$top/build/i686/bin/zorvex32.exe"
