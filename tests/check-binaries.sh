#!/bin/sh
# Static checks of the deliverables: what they import, what they export,
# and that they are GUI binaries for Windows 4.0.
#   check-binaries.sh OBJDUMP ZORVEX32.EXE OSTREL32.DLL
#   check-binaries.sh --self-test OBJDUMP ZORVEX32.EXE OSTREL32.DLL
#       shows that the import check refuses a function missing from the list
set -u
self_test=0
[ "$1" = --self-test ] && { self_test=1; shift; }
objdump=$1 exe=$2 dll=$3
fail=0
here=$(cd "$(dirname "$0")" && pwd)
list=${ZORVEX_EXPORT_LIST:-$here/oldest-windows-exports.txt}
# No C runtime DLL: only what a freshly installed Windows 95 has.
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll advapi32.dll"

# "dll function" for every function a binary imports by name.
imported_functions() {
    "$objdump" -p "$1" | awk '/DLL Name:/ { dll = tolower($3); next } /^$/ { dll = "" }
        dll && NF >= 2 && $1 ~ /^[0-9a-f]+$/ { print dll, $NF }' | sort -u
}

# Every system function imported must be one that both Windows 95 and NT 4 carry out.
check_functions() {
    known=$(sed -n 's/^\([a-z0-9]*\.dll\) \([A-Za-z0-9_]*\) .*/\1 \2/p' "$2")
    imported_functions "$1" | while read -r lib fn; do
        [ "$lib" = ostrel32.dll ] && continue
        if ! printf '%s\n' "$known" | grep -qx "$lib $fn"; then
            echo "FAIL: $1 imports $lib $fn, which Windows 95 or NT 4 lacks (not in $(basename "$2"))"
        fi
    done
}

if [ $self_test = 1 ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    grep -v '^user32.dll WinHelpA ' "$list" > "$work/list"
    out=$(check_functions "$exe" "$work/list")
    echo "$out"
    [ "$out" = "FAIL: $exe imports user32.dll WinHelpA, which Windows 95 or NT 4 lacks (not in list)" ] ||
        { echo "FAIL: the import check did not refuse exactly the unlisted function"; exit 1; }
    echo "import check: refuses a function missing from the list"
    exit 0
fi

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u; }
exports() { "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort; }

check_imports() {
    for lib in $(imports "$1"); do
        ok=0
        for a in $allowed $2; do [ "$lib" = "$a" ] && ok=1; done
        if [ $ok = 1 ]; then echo "  $1 imports $lib"; else echo "FAIL: $1 imports $lib"; fail=1; fi
    done
}

check_imports "$exe" ostrel32.dll
check_imports "$dll" ""
for f in "$exe" "$dll"; do
    out=$(check_functions "$f" "$list")
    if [ -n "$out" ]; then echo "$out"; fail=1; else
        echo "  $f imports only functions of both Windows 95 and NT 4 ($(imported_functions "$f" | wc -l) in all)"; fi
    # Nothing would run static constructors: there must be none.
    if "$objdump" -h "$f" | awk '$2 ~ /^\.(ctors|CRT|tls)/ { found = 1 } END { exit !found }'; then
        echo "FAIL: $f has constructor or thread-local sections"; fail=1; fi
done
imports "$exe" | grep -qx ostrel32.dll || { echo "FAIL: $exe is not linked against ostrel32.dll"; fail=1; }

# The program binds to the library's routines by their undecorated names.
for name in $("$objdump" -p "$exe" | sed -n '/DLL Name: ostrel32.dll/,/^$/p' | awk 'NR > 2 && NF >= 3 { print $3 }'); do
    case "$name" in
    CheckForRegCreateEx|DeleteRegKeyEx|SetRegValueEx|GetRegValueEx) echo "  $exe binds $name by name" ;;
    *) echo "FAIL: $exe imports $name from ostrel32.dll"; fail=1 ;;
    esac
done

want="CheckForRegCreateEx
DeleteRegKeyEx
GetRegValueEx
SetRegValueEx"
got=$(exports "$dll")
if [ "$got" = "$want" ]; then echo "  $dll exports exactly the four routines"; else
    echo "FAIL: $dll exports:"; echo "$got"; fail=1; fi

for proc in WndProc ConfirmationProc SplashProc SecurityProc AboutProc CaveatProc; do
    exports "$exe" | grep -qx "$proc" || { echo "FAIL: $exe does not export $proc by name"; fail=1; }
done

for f in "$exe" "$dll"; do
    hdr=$("$objdump" -p "$f")
    echo "$hdr" | grep -q 'MajorSubsystemVersion[[:space:]]*4$' || { echo "FAIL: $f subsystem version is not 4"; fail=1; }
    echo "$hdr" | grep -q 'MinorSubsystemVersion[[:space:]]*0$' || { echo "FAIL: $f subsystem minor version is not 0"; fail=1; }
done
"$objdump" -p "$exe" | grep -q 'Subsystem[[:space:]]*00000002' || { echo "FAIL: $exe is not a Windows GUI program"; fail=1; }

[ $fail = 0 ] && echo "binaries: all checks passed"
exit $fail
