#!/bin/sh
# Installs what is missing, builds both binaries and runs every test on the
# i686 build, the program people run.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/start.sh"
start_up "" "qemu-system-x86 debootstrap"
configure "$top/build/i686" ON
compile "$top/build/i686"
if [ "$I686_RUN" = native ]; then
    echo "i686 run: natively, 32-bit Wine on this machine's kernel"
    ctest --test-dir "$top/build/i686" --output-on-failure
else
    if [ -n "${ZORVEX_I686_RUN:-}" ]; then why="as ZORVEX_I686_RUN asks"; else why="this kernel runs no 32-bit code"; fi
    echo "i686 run: $why; the suites run on the i686 build inside a Debian virtual machine (tools/guest.sh)"
    ctest --test-dir "$top/build/i686" --output-on-failure -L '^host$'
    sh "$top/tools/guest.sh" image
    sh "$top/tools/guest.sh" run tools/wine/guest-run.sh
fi
echo "i686 run: all suites passed ($I686_RUN)"
