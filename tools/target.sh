# Sourced by the build scripts. The program under test is always the i686
# build; I686_RUN says how this machine runs it:
#   native  the kernel runs 32-bit code: Debian's 32-bit Wine runs here
#   guest   it does not: a Debian virtual machine runs it (tools/guest.sh)
# ZORVEX_I686_RUN=native|guest overrides the choice.
WINE=/usr/lib/wine/wine
WINESERVER=/usr/bin/wineserver

# A 32-bit program that starts through an emulator registered with
# binfmt_misc is not native: Wine misbehaves under qemu-user.
emulated_i386() {
    for entry in /proc/sys/fs/binfmt_misc/*; do
        [ -f "$entry" ] || continue
        grep -qx enabled "$entry" 2>/dev/null || continue
        grep -q '^interpreter .*qemu-i386' "$entry" 2>/dev/null && return 0
    done
    return 1
}

if [ -n "${ZORVEX_I686_RUN:-}" ]; then
    I686_RUN=$ZORVEX_I686_RUN
elif "$WINE" --version > /dev/null 2>&1 && ! emulated_i386; then
    I686_RUN=native
else
    I686_RUN=guest
fi

# configure_and_build ARCH RUN_TESTS
configure_and_build() {
    cmake -S "$top" -B "$top/build/$1" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DZORVEX_WINE_TESTS="$2" \
        -DZORVEX_WINE="$WINE" -DZORVEX_WINESERVER="$WINESERVER" > "$top/build/configure-$1.log" 2>&1 ||
        { cat "$top/build/configure-$1.log"; return 1; }
    cmake --build "$top/build/$1" -j "$(nproc)"
}
