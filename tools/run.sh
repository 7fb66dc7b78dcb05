#!/bin/sh
# Installs what is missing, builds the program and starts the i686 build
# under Wine in a throwaway prefix whose only drives are its own c: and s:,
# a fresh temporary folder. Without a display it runs on a virtual one
# (Xvfb). Where this kernel runs no 32-bit code, it runs in the virtual
# machine of tools/guest.sh, on this machine's display when there is one.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
# Wine first: whether this kernel runs its 32-bit loader decides the rest.
sh "$top/tools/install-deps.sh"
. "$top/tools/target.sh"
[ "$I686_RUN" = native ] || sh "$top/tools/install-deps.sh" qemu-system-x86 debootstrap socat
mkdir -p "$top/build"
configure_and_build i686 ON
echo "starting zorvex32.exe; files dropped on it are destroyed. Close it to end."
if [ "$I686_RUN" = native ]; then
    exec sh "$top/tests/run-program.sh"
fi
sh "$top/tools/guest.sh" image
ZORVEX_GUEST_DISPLAY=${DISPLAY:-} exec sh "$top/tools/guest.sh" run tests/run-program.sh
