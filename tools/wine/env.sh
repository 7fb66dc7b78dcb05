# Sourced: where Wine is, and the environment of every Wine run of this
# project (the sandbox's set-up, each program run, the run command; on this
# machine and in the virtual machine alike).
WINE32=/usr/lib/wine/wine       # runs the i686 build
WINE64=/usr/lib/wine/wine64     # runs the x86-64 build
WINE=$WINE32
WINESERVER=/usr/bin/wineserver

# wine_env ROOT LOADER SERVER: the sandbox prefix under ROOT.
wine_env() {
    export WINEPREFIX="$1/prefix" WINELOADER="$2" WINESERVER="$3"
    # Quiet unless asked: ZORVEX_WINEDEBUG takes Wine's debug channels.
    export WINEDEBUG="${ZORVEX_WINEDEBUG:--all}"
    # No menu entries, and no .NET or browser engine installers, in a
    # throwaway prefix.
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    # One locale wherever Wine runs: it reads Unix file names in the
    # locale's charset, and the suites must see the same names everywhere.
    export LC_ALL=C.UTF-8
    unset LANGUAGE
}
