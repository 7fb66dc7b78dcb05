#!/bin/sh
# Benchmark of the shredder against GNU shred, the disk's own limit and the
# floor of the shredder's own I/O pattern (shredbench floor).
# Runs in throwaway sandbox prefixes: once on a disk folder (/tmp) and once
# on a tmpfs folder (/dev/shm). Prints the table, writes build/bench/
# results.tsv, table.md and shred-speed.png.
# Every program runs on one core (taskset): across a virtual machine's
# cores each of Wine's server round trips waits for the other core to wake,
# which alone varied the folder times by half.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/start.sh"
start_up "gnuplot-nox bc"
# The i686 build where this kernel runs it; elsewhere the x86-64 build of
# the same sources (a virtual machine's emulation would time the emulator).
native_arch
# Its own build folder: the tests' build keeps its configuration.
build="$top/build/bench-$ARCH"
configure "$build" OFF "$ARCH"
compile "$build" shredbench
bin="$build/bin"
out="$top/build/bench"
mkdir -p "$out"
tsv="$out/results.tsv"
printf 'place\tcase\tlevel\tbytes\tours_s\tours_mib_s\tgnu\tgnu_s\tlimit\tlimit_s\tpeak_ws_growth\tpeak_private_growth\tchunk\tfloor_s\tfloor_read_s\tfloor_calls\n' > "$tsv"
pin=""
command -v taskset > /dev/null && pin="taskset -c ${BENCH_CORE:-1}"
MIB=1048576
SIZES=${BENCH_SIZES:-"0 $MIB $((16 * MIB)) $((256 * MIB))"}
TREE_FILES=${BENCH_TREE_FILES:-10000}

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc -l | sed 's/^\./0./'; }

for place in disk tmpfs; do
    case $place in disk) base=/tmp ;; tmpfs) base=/dev/shm ;; esac
    root="$build/bench-sandbox-$place"
    ZORVEX_SANDBOX_TMP=$base sh "$top/tools/wine/sandbox.sh" setup "$root" "$WINE" "$WINESERVER" > /dev/null
    disk=$(cat "$root/disk")
    work="$disk/work"
    echo "== $place: $(df -T "$disk" | awk 'NR==2 {print $2 " on " $1}') ($disk)"
    # One run of the benchmark program inside the sandbox.
    zb() { $pin sh "$top/tools/wine/wine-run.sh" "$root" "$top" "$WINE" "$WINESERVER" "$bin/shredbench.exe" "$@"; }
    # Wall time of a command on the Linux side.
    timed() { sync; t0=$(now); $pin "$@"; t1=$(now); elapsed "$t0" "$t1"; }

    for bytes in $SIZES; do
        for level in 1 2 3 4; do
            zb make 'S:\work\victim.bin' "$bytes"
            sync
            set -- $(zb file 'S:\work\victim.bin' "$level")
            ours=$1 ws=$2 private=$3 chunk=$4
            [ ! -e "$work/victim.bin" ] || { echo "victim.bin survived level $level"; exit 1; }
            case $level in
            1) gnu="rm"; passes=0 ;;
            2|3) gnu="shred -n 1 -u"; passes=1 ;;
            4) gnu="shred -n 5 -u"; passes=5 ;;
            esac
            head -c "$bytes" /dev/zero > "$work/gnu.bin"
            gnu_s=$(timed $gnu "$work/gnu.bin")
            limit="-" limit_s="-"
            if [ $passes -gt 0 ]; then
                head -c "$bytes" /dev/zero > "$work/dd.bin"
                limit="dd x$passes"
                sync
                t0=$(now)
                p=0
                while [ $p -lt $passes ]; do
                    $pin dd if=/dev/zero of="$work/dd.bin" bs=$MIB count=$((bytes / MIB)) conv=notrunc,fsync status=none
                    p=$((p + 1))
                done
                t1=$(now)
                limit_s=$(elapsed "$t0" "$t1")
                rm -f "$work/dd.bin"
            fi
            # Levels 2 and 3 write each chunk once: their floor is that
            # pattern alone, without and with a read before each write.
            floor_s="-" floor_read_s="-"
            if [ "$level" = 2 ] || [ "$level" = 3 ]; then
                zb make 'S:\work\floor.bin' "$bytes"
                sync
                set -- $(zb floor 'S:\work\floor.bin' write)
                floor_s=$1
                zb make 'S:\work\floor.bin' "$bytes"
                sync
                set -- $(zb floor 'S:\work\floor.bin' read)
                floor_read_s=$1
            fi
            mib_s=$(echo "$bytes / $MIB / $ours" | bc -l)
            printf '%s\tfile\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t-\n' "$place" "$level" "$bytes" "$ours" \
                "$mib_s" "$gnu" "$gnu_s" "$limit" "$limit_s" "$ws" "$private" "$chunk" "$floor_s" "$floor_read_s" >> "$tsv"
            echo "  $bytes bytes, level $level: ${ours}s (GNU $gnu ${gnu_s}s, limit ${limit_s}s, floor ${floor_s}s, with reads ${floor_read_s}s)"
        done
    done
    for level in 1 2 3 4; do
        zb tree 'S:\work\tree' $TREE_FILES
        sync
        set -- $(zb walk 'S:\work\tree' "$level")
        ours=$1 ws=$2 private=$3 chunk=$4
        [ ! -e "$work/tree" ] || { echo "the tree survived level $level"; exit 1; }
        mkdir "$work/gnutree"
        (cd "$work/gnutree" && head -c $((512 * TREE_FILES)) /dev/zero | split -b 512 -a 5 -d - f)
        case $level in
        1) gnu="rm -r"; gnu_s=$(timed rm -r "$work/gnutree") ;;
        2|3) gnu="shred -n 1 -u"; gnu_s=$(timed sh -c 'shred -n 1 -u "$1"/* && rmdir "$1"' - "$work/gnutree") ;;
        4) gnu="shred -n 5 -u"; gnu_s=$(timed sh -c 'shred -n 5 -u "$1"/* && rmdir "$1"' - "$work/gnutree") ;;
        esac
        # The level's floor: only the calls each file needs, and where
        # their time goes ("open=... rename=... flush=...").
        zb tree 'S:\work\floortree' $TREE_FILES
        sync
        set -- $(zb floor 'S:\work\floortree' "files$level")
        floor_s=$1
        shift 4
        calls=$(echo "$*" | tr ' ' ',')
        mib_s=$(echo "512 * $TREE_FILES / $MIB / $ours" | bc -l)
        printf '%s\ttree\t%s\t%s\t%s\t%s\t%s\t%s\t-\t-\t%s\t%s\t%s\t%s\t-\t%s\n' "$place" "$level" $((512 * TREE_FILES)) "$ours" \
            "$mib_s" "$gnu" "$gnu_s" "$ws" "$private" "$chunk" "$floor_s" "${calls:--}" >> "$tsv"
        echo "  $TREE_FILES files of 512 bytes, level $level: ${ours}s (GNU $gnu ${gnu_s}s, floor ${floor_s}s: $calls)"
    done
    # What staying alive adds: a 256 MiB file's chunks' worth of it.
    set -- $(zb alive 'S:\work\alive' $((256 * MIB / 4096)))
    printf '%s\talive\t2\t%s\t%s\t-\t-\t-\t-\t-\t%s\t%s\t%s\t-\t-\t-\n' "$place" $((256 * MIB)) "$1" "$2" "$3" "$4" >> "$tsv"
    echo "  staying alive over 65536 chunks: ${1}s"
    sh "$top/tools/wine/sandbox.sh" cleanup "$root" "$WINESERVER"
done

sh "$top/bench/report.sh" "$tsv" "$out"
