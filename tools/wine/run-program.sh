#!/bin/sh
# Starts the i686 zorvex32.exe in a sandbox prefix of its own, in its own
# folder (where the help viewer finds zorvex.hlp), until it is closed.
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tools/wine/env.sh"
sandbox="$top/build/i686/run-sandbox"
trap 'sh "$top/tools/wine/sandbox.sh" cleanup "$sandbox" "$WINESERVER"' EXIT
sh "$top/tools/wine/sandbox.sh" setup "$sandbox" "$WINE32" "$WINESERVER"
ZORVEX_RUN_DIR=bin sh "$top/tools/wine/wine-run.sh" "$sandbox" "$top" "$WINE32" "$WINESERVER" "$top/build/i686/bin/zorvex32.exe"
