# The one start-up of the build scripts (tools/test.sh, run.sh, release.sh,
# mutate.sh, bench/run.sh), sourced once they have set $top. Sourcing only
# defines; nothing runs until start_up is called.
#
#   start_up [PACKAGES [GUEST_PACKAGES]]
#       installs what is missing (and PACKAGES), Wine first: whether this
#       kernel runs its 32-bit loader decides the rest. Then sets I686_RUN,
#       how this machine runs the i686 build, the program people run:
#         native  the kernel runs 32-bit code: Debian's 32-bit Wine runs here
#         guest   it does not: a Debian virtual machine runs it
#                 (tools/guest.sh); GUEST_PACKAGES are installed for it
#       ZORVEX_I686_RUN=native|guest overrides the choice.
#   native_arch
#       sets ARCH and WINE to a build this machine's own Wine runs: i686
#       where I686_RUN is native, else x86-64 under 64-bit Wine
#   configure BUILD TESTS [ARCH]
#       configures the build folder BUILD for ARCH (default i686) with the
#       Wine tests ON or OFF, from the sources in $source (default $top)
#   compile BUILD [TARGET...]
#       builds BUILD, or only the targets named
. "$top/tools/wine/env.sh"

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

start_up() {
    sh "$top/tools/install-deps.sh" ${1:-}
    if [ -n "${ZORVEX_I686_RUN:-}" ]; then
        I686_RUN=$ZORVEX_I686_RUN
    elif "$WINE" --version > /dev/null 2>&1 && ! emulated_i386; then
        I686_RUN=native
    else
        I686_RUN=guest
    fi
    if [ "$I686_RUN" != native ] && [ -n "${2:-}" ]; then
        sh "$top/tools/install-deps.sh" $2
    fi
    mkdir -p "$top/build"
}

native_arch() {
    if [ "$I686_RUN" = native ]; then
        ARCH=i686 WINE=$WINE32
    else
        ARCH=x86_64 WINE=$WINE64
    fi
}

configure() {
    arch=${3:-i686}
    case "$arch" in i686) loader=$WINE32 ;; *) loader=$WINE64 ;; esac
    mkdir -p "$1"
    cmake -S "${source:-$top}" -B "$1" -DCMAKE_TOOLCHAIN_FILE="${source:-$top}/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DZORVEX_WINE_TESTS="$2" \
        -DZORVEX_WINE="$loader" -DZORVEX_WINESERVER="$WINESERVER" > "$1/configure.log" 2>&1 ||
        { cat "$1/configure.log"; return 1; }
}

compile() {
    folder=$1
    shift
    targets=""
    for t in "$@"; do targets="$targets --target $t"; done
    cmake --build "$folder" -j "$(nproc)" $targets
}
