#!/bin/sh
# Installs what is missing, builds both binaries and runs every test.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
sh "$top/tools/install-deps.sh"
mkdir -p "$top/build"
. "$top/tools/target.sh"
# The help compiler runs on this machine; its tests too.
cmake -S "$top/tools/helpc" -B "$top/build/host-helpc" >/dev/null
cmake --build "$top/build/host-helpc" -j"$(nproc)"
ctest --test-dir "$top/build/host-helpc" --output-on-failure
if [ "$RUN_ARCH" = i686 ]; then
    configure_and_build i686 ON
    ctest --test-dir "$top/build/i686" --output-on-failure
else
    echo "note: this machine cannot run 32-bit code; the i686 binaries are built and checked," \
         "the tests run the x86_64 build of the same sources under 64-bit Wine"
    configure_and_build i686 OFF
    ctest --test-dir "$top/build/i686" --output-on-failure
    configure_and_build x86_64 ON
    ctest --test-dir "$top/build/x86_64" --output-on-failure
fi
