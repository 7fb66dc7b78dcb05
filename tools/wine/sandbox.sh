#!/bin/sh
# The throwaway Wine prefix the tests, the benchmark and the run command use.
#   sandbox.sh setup ROOT WINE WINESERVER   make a fresh prefix (ROOT/prefix) whose
#                                           only drives are c: (the prefix's own)
#                                           and s: (a fresh temporary folder), lay
#                                           out the link fixtures; start Xvfb when
#                                           there is no display
#   sandbox.sh cleanup ROOT WINESERVER      stop them and remove the temporary folders
# Both temporary folders, the prefix's and s:'s, are made under
# $ZORVEX_SANDBOX_TMP (default /tmp), on the machine's own file system (in
# the virtual machine ROOT is on the tree's share, slow to write), and
# ROOT/prefix links to the prefix's.
set -eu
. "$(dirname "$0")/env.sh"
action=$1
root=$2
# The prefix's temporary folder, when ROOT/prefix is the link made here.
place_of() {
    [ -L "$1/prefix" ] || return 0
    folder=$(readlink "$1/prefix")
    case "$folder" in */zorvex-prefix.??????) echo "$folder" ;; esac
}
case "$action" in
setup)
    wine=$3 server=$4
    [ ! -f "$root/disk" ] || rm -rf "$(cat "$root/disk")"
    old=$(place_of "$root")
    [ -z "$old" ] || { WINEPREFIX="$root/prefix" "$server" -k 2>/dev/null || true; rm -rf "$old"; }
    rm -rf "$root"
    mkdir -p "$root"
    disk=$(mktemp -d "${ZORVEX_SANDBOX_TMP:-/tmp}/zorvex-sandbox.XXXXXX")
    echo "$disk" > "$root/disk"
    mkdir -p "$disk/bin" "$disk/work"
    place=$(mktemp -d "${ZORVEX_SANDBOX_TMP:-/tmp}/zorvex-prefix.XXXXXX")
    ln -s "$place" "$root/prefix"
    wine_env "$root" "$wine" "$server"
    # The first Wine process waits at most five minutes for a new prefix's
    # boot, then gives up with "could not load kernel32.dll, status
    # c0000135" while the boot itself goes on. Under software emulation the
    # boot takes longer than that: so it is awaited, and the prefix then
    # proven by a command of its own, the one that sets Managed=N (no
    # window manager runs here: without it Wine waits about two seconds for
    # one whenever a window is hidden). A prefix that still fails gets a
    # second try, fresh.
    tries=0
    while :; do
        env -u DISPLAY "$wine" wineboot -i > "$root/wineboot.log" 2>&1 ||
            echo "sandbox: wineboot's first process ended with code $? (it waits five minutes at most); waiting for the boot"
        "$server" -w
        if env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            > "$root/reg.log" 2>&1; then
            break
        fi
        tries=$((tries + 1))
        tail -n 20 "$root/wineboot.log" "$root/reg.log"
        echo "sandbox: the prefix does not work (try $tries)"
        [ "$tries" -lt 2 ] || exit 1
        "$server" -k 2>/dev/null || true
        sleep 1
        rm -rf "$place"
        mkdir -m 700 "$place"
    done
    "$server" -w
    # Debian's Wine looks for its own fonts (the title buttons' Marlett among
    # them) in /usr/share/fonts, where fonts-wine does not put them: without
    # them every title button is drawn as a letter. The prefix's own Fonts
    # folder, which Wine reads too, gets copies.
    if [ -d /usr/share/wine/fonts ]; then
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # Only c: and the sandbox drive: nothing else of this machine is reachable.
    for d in "$WINEPREFIX"/dosdevices/*:; do
        case "$(basename "$d")" in c:) ;; *) rm -f "$d" ;; esac
    done
    ln -s "$disk" "$WINEPREFIX/dosdevices/s:"
    # t: maps a folder of s:, as a SUBST drive would.
    mkdir -p "$disk/work/t-drive"
    ln -s "$disk/work/t-drive" "$WINEPREFIX/dosdevices/t:"
    # On it, a link to a file of S:\links: another drive, another folder.
    ln -s ../../links/Work/plan.doc "$disk/work/t-drive/plan-link"
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
    # A link whose target's name (over 600 characters) passes every buffer
    # of the link test.
    far=far
    for level in 1 2 3 4 5; do far="$far/$(printf '%0120d' 0 | tr 0 d)"; done
    mkdir -p "$links/$far" "$links/long-link"
    echo "far and precious" > "$links/$far/precious.txt"
    ln -s "../$far/precious.txt" "$links/long-link/to-far"
    # Wine reports what "plan." reaches as "plan": here it is a link to it.
    mkdir -p "$links/dotted"
    echo namesake > "$links/dotted/plan"
    ln -s plan "$links/dotted/plan."
    # Names Wine reports in another form (it drops a trailing dot or blank,
    # a folder's last dot): links whose target is reported like them.
    mkdir -p "$links/$(printf '\346\227\245')" "$links/dots" "$links/mid/dir.." "$links/mid/dir."
    echo namesake > "$links/$(printf '\346\227\245')/plan"
    ln -s plan "$links/$(printf '\346\227\245')/plan."
    echo "more dots" > "$links/dots/plan.."
    ln -s plan.. "$links/dots/plan."
    echo unchosen > "$links/mid/dir../x"
    ln -s ../dir../x "$links/mid/dir./x"
    # Links whose target's path ends their own (a mirror tree linking back
    # to the originals), to a file and to a folder.
    mkdir -p "$links/Work" "$links/mirror/links/Work" "$links/E" "$links/tree/links"
    echo "the real plan" > "$links/Work/plan.doc"
    ln -s ../../../Work/plan.doc "$links/mirror/links/Work/plan.doc"
    ln -s ../../E "$links/tree/links/E"
    # A file of two names; links to a case twin and to a look-alike.
    mkdir -p "$links/h1/chosen" "$links/h1/unchosen" "$links/case/Docs" "$links/case/docs"
    seq 500 > "$links/h1/unchosen/keep.txt"
    ln "$links/h1/unchosen/keep.txt" "$links/h1/chosen/file.txt"
    echo twin > "$links/case/Docs/x.txt"
    ln -s ../Docs/x.txt "$links/case/docs/x.txt"
    echo upper > "$links/case/NOTES.TXT"
    ln -s NOTES.TXT "$links/case/notes.txt"
    echo fullwidth > "$links/case/$(printf '\357\275\220\357\275\214\357\275\201\357\275\216').txt"
    ln -s "$(printf '\357\275\220\357\275\214\357\275\201\357\275\216').txt" "$links/case/plan.txt"
    # Case twins that need a short name (Wine itself cannot make them).
    for n in 1 2 5; do
        mkdir -p "$links/twins$n"
        echo Report > "$links/twins$n/Report.txt."
        echo report > "$links/twins$n/report.txt."
    done
    for n in 3 4; do
        mkdir -p "$links/twins$n"
        echo Plan > "$links/twins$n/Plan$(printf '\346\227\245').txt"
        echo plan > "$links/twins$n/plan$(printf '\346\227\245').txt"
    done
    # Names of devices, and a pipe and devices where this system lets them
    # be made (an unbound loop device: nothing reaches a disk through it).
    mkdir -p "$links/dev"
    for name in nul aux com1 NUL.txt; do echo "a file" > "$links/dev/$name"; done
    mkdir -p "$links/special"
    mkfifo "$links/special/pipe" 2>/dev/null || true
    mknod "$links/special/null" c 1 3 2>/dev/null || true
    mknod "$links/special/block" b 7 200 2>/dev/null || true
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
    old=$(place_of "$root")
    [ -z "$old" ] || rm -rf "$old"
    rm -f "$root/disk" "$root/prefix" "$root/xvfb.pid"
    ;;
esac
