#!/bin/sh
# The throwaway Wine prefix the tests, the benchmark and the run command use.
#   sandbox.sh setup ROOT WINE WINESERVER   make a fresh prefix under ROOT whose only
#                                           drives are c: (the prefix's own) and s:
#                                           (a fresh temporary folder), lay out the
#                                           link fixtures; start Xvfb when there is
#                                           no display
#   sandbox.sh cleanup ROOT WINESERVER      stop them and remove the temporary folder
set -eu
. "$(dirname "$0")/env.sh"
action=$1
root=$2
case "$action" in
setup)
    wine=$3 server=$4
    [ ! -f "$root/disk" ] || rm -rf "$(cat "$root/disk")"
    rm -rf "$root"
    mkdir -p "$root"
    disk=$(mktemp -d "${ZORVEX_SANDBOX_TMP:-/tmp}/zorvex-sandbox.XXXXXX")
    echo "$disk" > "$root/disk"
    mkdir -p "$disk/bin" "$disk/work"
    wine_env "$root" "$wine" "$server"
    # Under software emulation wineboot has once ended with a failure after
    # five minutes, the prefix half made: it gets a second try on a fresh one.
    tries=0
    until env -u DISPLAY "$wine" wineboot -i > "$root/wineboot.log" 2>&1; do
        code=$?
        tries=$((tries + 1))
        tail -n 20 "$root/wineboot.log"
        echo "sandbox: wineboot ended with code $code (try $tries)"
        [ "$tries" -lt 2 ] || exit 1
        "$server" -k 2>/dev/null || true
        sleep 1
        rm -rf "$WINEPREFIX"
    done
    "$server" -w
    # No window manager runs here: without this Wine waits about two seconds
    # for one whenever a window is hidden.
    env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        > "$root/reg.log" 2>&1 || { cat "$root/reg.log"; exit 1; }
    "$server" -w
    # Only c: and the sandbox drive: nothing else of this machine is reachable.
    for d in "$WINEPREFIX"/dosdevices/*:; do
        case "$(basename "$d")" in c:) ;; *) rm -f "$d" ;; esac
    done
    ln -s "$disk" "$WINEPREFIX/dosdevices/s:"
    # t: maps a folder of s:, as a SUBST drive would.
    mkdir -p "$disk/work/t-drive"
    ln -s "$disk/work/t-drive" "$WINEPREFIX/dosdevices/t:"
    # Unix symbolic links for the walk's tests (Wine shows the folder links
    # as reparse points, the file links as plain files); relative, so they
    # point nowhere but into the sandbox. Made once here, outside every
    # drive; wine-run.sh puts a copy at S:\links before each program.
    links="$root/links"
    mkdir -p "$links/outside" "$links/empty-outside" "$links/linked"
    echo "precious contents" > "$links/outside/precious.txt"
    echo "also precious" > "$links/outside/second.txt"
    echo own > "$links/linked/own.txt"
    ln -s ../outside "$links/linked/to-outside"
    ln -s ../empty-outside "$links/linked/to-empty"
    ln -s ../outside/precious.txt "$links/linked/to-precious"
    ln -s outside "$links/dropped-link"
    ln -s outside/second.txt "$links/dropped-file-link"
    if [ -z "${DISPLAY:-}" ]; then
        n=90
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp > "$root/xvfb.log" 2>&1 &
        echo $! > "$root/xvfb.pid"
        echo ":$n" > "$root/display"
        i=0
        while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
    else
        echo "$DISPLAY" > "$root/display"
    fi
    "$server" -p 600 < /dev/null > /dev/null 2>&1
    echo "sandbox ready: s: is $disk, display $(cat "$root/display")"
    ;;
cleanup)
    server=$3
    WINEPREFIX="$root/prefix" "$server" -k 2>/dev/null || true
    [ ! -f "$root/xvfb.pid" ] || kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
    [ ! -f "$root/disk" ] || rm -rf "$(cat "$root/disk")"
    rm -f "$root/disk" "$root/xvfb.pid"
    ;;
esac
