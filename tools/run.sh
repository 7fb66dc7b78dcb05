#!/bin/sh
# Installs what is missing, builds the program and starts the i686 build
# under Wine in a throwaway prefix whose only drives are its own c: and s:,
# a fresh temporary folder. Without a display it runs on a virtual one
# (Xvfb). Where this kernel runs no 32-bit code, it runs in the virtual
# machine of tools/guest.sh, on this machine's display when there is one.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/start.sh"
start_up "" "qemu-system-x86 debootstrap socat"
# The tests' build folder and configuration, but only what the program needs.
configure "$top/build/i686" ON
compile "$top/build/i686" zorvex32 helpfile
echo "starting zorvex32.exe; files dropped on it are destroyed. Close it to end."
if [ "$I686_RUN" = native ]; then
    exec sh "$top/tools/wine/run-program.sh"
fi
sh "$top/tools/guest.sh" image
ZORVEX_GUEST_DISPLAY=${DISPLAY:-} exec sh "$top/tools/guest.sh" run tools/wine/run-program.sh
