#!/bin/sh
# A Debian virtual machine in which 32-bit Wine runs on a real 64-bit
# kernel, for machines whose own kernel runs no 32-bit code. qemu-user is
# no substitute: under it 32-bit Wine dies as soon as a debug string or any
# other exception is raised while a second thread runs (tests/README.md).
#   guest.sh image          build the cached image under build/guest (root)
#   guest.sh run SCRIPT     boot it with this tree shared at the same path
#                           and run SCRIPT (relative to the tree) in it;
#                           exits with the script's code
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cache="$top/build/guest"
packages="wine,wine32,wine64,fonts-wine,xvfb,xauth,cmake,kmod,procps,iproute2,linux-image-amd64,initramfs-tools"
key=$(cat "$0" "$top/tools/guest-init" | sha256sum | cut -c1-16)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

mirror() {
    sed -n 's/^URIs: *//p; s/^deb \(http[^ ]*\) bookworm main.*/\1/p' /etc/apt/sources.list.d/*.sources \
        /etc/apt/sources.list 2>/dev/null | grep -m1 'debian$' || echo http://deb.debian.org/debian
}

build_image() {
    mkdir -p "$cache"
    # One build at a time; a second caller waits for it and then reuses it.
    exec 9> "$cache/lock"
    flock 9
    if [ -f "$cache/ready" ] && [ "$(cat "$cache/ready")" = "$key" ]; then
        return 0
    fi
    echo "guest: building the Debian image (once; cached in build/guest)"
    root="$cache/root"
    case "$root" in "$top"/build/guest/root) ;; *) echo "guest: odd image path $root" >&2; exit 1 ;; esac
    $SUDO rm -rf "$root" "$cache/root.img" "$cache/ready"
    # The first stage without the 32-bit half; i386 is added inside.
    $SUDO debootstrap --variant=minbase --arch=amd64 --include=kmod,procps bookworm "$root" "$(mirror)" \
        > "$cache/debootstrap.log" 2>&1 || { tail -30 "$cache/debootstrap.log"; exit 1; }
    $SUDO mount -t proc proc "$root/proc"
    trap '$SUDO umount "$root/proc" 2>/dev/null || true' EXIT
    $SUDO chroot "$root" sh -c "dpkg --add-architecture i386 && apt-get update -q &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $(echo $packages | tr , ' ') &&
        apt-get clean" > "$cache/packages.log" 2>&1 || { tail -30 "$cache/packages.log"; exit 1; }
    $SUDO umount "$root/proc"
    trap - EXIT
    $SUDO install -m 755 "$top/tools/guest-init" "$root/sbin/zorvex-init"
    $SUDO sh -c "cp $root/boot/vmlinuz-* '$cache/vmlinuz' && cp $root/boot/initrd.img-* '$cache/initrd.img' &&
        chmod 644 '$cache/vmlinuz' '$cache/initrd.img'"
    size=$(( $($SUDO du -sm "$root" | cut -f1) + 1024 ))
    $SUDO mkfs.ext4 -q -F -L zorvex -d "$root" "$cache/root.img" "${size}M"
    $SUDO rm -rf "$root"
    echo "$key" > "$cache/ready"
}

run_guest() {
    script=$1
    [ -f "$cache/ready" ] || { echo "guest: no image; run 'guest.sh image' first" >&2; exit 1; }
    rm -f "$cache/rc"
    # Software emulation: it works everywhere, while a /dev/kvm that opens
    # may still hang the guest (nested under another hypervisor, seen so).
    # Without SMAP: qemu 7.2's emulation checks the stack reads of a user-mode
    # iretq (64-bit Wine's return from its system calls) as the kernel's, and
    # the guest kernel kills Wine on the fault.
    accel="-accel ${ZORVEX_GUEST_ACCEL:-tcg,thread=multi}"
    # No network, unless the host's display is to be shown: then only a
    # forward of one port to that display.
    set -- -nic none
    display=""
    if [ -n "${ZORVEX_GUEST_DISPLAY:-}" ]; then
        number=${ZORVEX_GUEST_DISPLAY#*:}
        number=${number%%.*}
        host=${ZORVEX_GUEST_DISPLAY%%:*}
        case "$host" in
        ""|unix) reach="UNIX-CONNECT:/tmp/.X11-unix/X$number" ;;
        *) reach="TCP:$host:$((6000 + number))" ;;
        esac
        # The display's cookie, for any host name (family ffff).
        DISPLAY=$ZORVEX_GUEST_DISPLAY xauth nlist "$ZORVEX_GUEST_DISPLAY" 2>/dev/null |
            sed 's/^..../ffff/' > "$cache/xauth" || true
        set -- -nic "user,model=virtio-net-pci,restrict=on,guestfwd=tcp:10.0.2.100:$((6000 + number))-cmd:socat - $reach"
        display=" zorvex.display=10.0.2.100:$number"
    fi
    echo "guest: booting Debian amd64 ($accel) to run $script on the i686 build"
    # The image is never changed: the guest's writes go to a throwaway overlay.
    timeout "${ZORVEX_GUEST_TIMEOUT:-3600}" qemu-system-x86_64 $accel -cpu ${ZORVEX_GUEST_CPU:-max,-smap} -smp "$(nproc)" -m 3584 \
        -nographic -monitor none -no-reboot \
        -kernel "$cache/vmlinuz" -initrd "$cache/initrd.img" \
        -append "root=/dev/vda rw console=ttyS0 quiet loglevel=3 init=/sbin/zorvex-init zorvex.top=$top zorvex.run=$script$display" \
        -drive "file=$cache/root.img,if=virtio,format=raw,snapshot=on" \
        -virtfs "local,path=$top,mount_tag=zorvex,security_model=none,id=zorvex" "$@" < /dev/null ||
        echo "guest: qemu ended with $?"
    [ -f "$cache/rc" ] || { echo "guest: the run did not finish" >&2; exit 1; }
    exit "$(cat "$cache/rc")"
}

case "${1:-}" in
image) build_image ;;
run) run_guest "$2" ;;
*) echo "usage: guest.sh image | run SCRIPT" >&2; exit 2 ;;
esac
