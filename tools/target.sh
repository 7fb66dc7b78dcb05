# Sourced by the build scripts: which build of the program this machine's
# Wine can run. Some kernels run 64-bit user code only (no IA-32 emulation);
# there the 32-bit deliverables are still built and checked, and the same
# sources are built for x86-64 to run under 64-bit Wine.
if /usr/lib/wine/wine --version > /dev/null 2>&1; then
    RUN_ARCH=i686
    WINE=/usr/lib/wine/wine
    WINESERVER=/usr/bin/wineserver
else
    RUN_ARCH=x86_64
    WINE=/usr/lib/wine/wine64
    WINESERVER=/usr/lib/wine/wineserver64
fi

# configure_and_build ARCH RUN_TESTS
configure_and_build() {
    cmake -S "$top" -B "$top/build/$1" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DZORVEX_WINE_TESTS="$2" \
        -DZORVEX_WINE="$WINE" -DZORVEX_WINESERVER="$WINESERVER" > "$top/build/configure-$1.log" 2>&1 ||
        { cat "$top/build/configure-$1.log"; return 1; }
    cmake --build "$top/build/$1" -j "$(nproc)"
}
