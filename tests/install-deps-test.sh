#!/bin/sh
# tools/install-deps.sh against a stub apt: no network, no root, nothing
# installed. Each row of the table gives how the stub behaves and what the
# script must do: its exit code, the apt commands it ran (in order), and a
# line it must print.
#   install-deps-test.sh TREE
set -u
tree=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stubs="$work/stubs"
mkdir -p "$stubs"

# The stubs log each apt and dpkg change to $work/calls, one line each:
# "update", "install [-t CODENAME] PACKAGES", "add-architecture i386".
# STUB_UPDATE: ok | once (fails the first time) | always
# STUB_INSTALL: ok | needs-t (fails without -t) | always
# STUB_INSTALLED: packages dpkg-query reports installed, or "all"
# STUB_I386: yes | no (i386 already a foreign architecture)
cat > "$stubs/apt-get" <<'STUB'
#!/bin/sh
calls=$STUB_WORK/calls
case " $* " in
*" update "*)
    echo update >> "$calls"
    n=$(grep -c '^update$' "$calls")
    if [ "$STUB_UPDATE" = always ] || { [ "$STUB_UPDATE" = once ] && [ "$n" -eq 1 ]; }; then
        echo "E: Failed to fetch http://mirror.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100
    fi ;;
*" install "*)
    target="" packages=""
    while [ $# -gt 0 ]; do
        case "$1" in
        -t) target=" -t $2"; shift ;;
        -*|install) ;;
        *) packages="$packages $1" ;;
        esac
        shift
    done
    echo "install$target$packages" >> "$calls"
    if [ "$STUB_INSTALL" = always ] || { [ "$STUB_INSTALL" = needs-t ] && [ -z "$target" ]; }; then
        echo "E: Unable to correct problems, you have held broken packages." >&2
        exit 100
    fi ;;
*) echo "apt-get stub: unexpected: $*" >&2; exit 2 ;;
esac
exit 0
STUB
cat > "$stubs/dpkg-query" <<'STUB'
#!/bin/sh
for p in $STUB_INSTALLED; do
    if [ "$p" = all ] || [ "$p" = "$3" ]; then echo "install ok installed"; exit 0; fi
done
exit 1
STUB
cat > "$stubs/dpkg" <<'STUB'
#!/bin/sh
case "$1" in
--print-foreign-architectures) [ "$STUB_I386" = no ] || echo i386 ;;
--add-architecture) echo "add-architecture $2" >> "$STUB_WORK/calls" ;;
*) echo "dpkg stub: unexpected: $*" >&2; exit 2 ;;
esac
STUB
# Not root: the script asks sudo, which here only runs the command.
printf '#!/bin/sh\nexec "$@"\n' > "$stubs/sudo"
chmod +x "$stubs"/*
printf 'VERSION_CODENAME=testrelease\n' > "$work/os-release"

all="cmake make g++ mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32 wine64 fonts-wine xvfb googletest"
fails=0
# name | update | install | installed | i386 | extra args | code | calls (";" between) |
# a line printed (or, after "!", one that must not be)
while IFS='|' read -r name update install installed i386 extra code calls line; do
    [ -n "$name" ] || continue
    : > "$work/calls"
    STUB_WORK=$work STUB_UPDATE=$update STUB_INSTALL=$install STUB_INSTALLED=$installed STUB_I386=$i386 \
        ZORVEX_OS_RELEASE="$work/os-release" PATH="$stubs:$PATH" \
        sh "$tree/tools/install-deps.sh" $extra > "$work/out" 2>&1
    got_code=$?
    got_calls=$(tr '\n' ';' < "$work/calls" | sed 's/;$//')
    ok=1
    [ "$got_code" = "$code" ] || { echo "FAIL $name: exit code $got_code, wanted $code"; ok=0; }
    [ "$got_calls" = "$calls" ] || { echo "FAIL $name: apt ran [$got_calls], wanted [$calls]"; ok=0; }
    case "$line" in
    "") ;;
    "!"*) if grep -qF -- "${line#!}" "$work/out"; then echo "FAIL $name: a line with \"${line#!}\""; ok=0; fi ;;
    *) if ! grep -qF -- "$line" "$work/out"; then echo "FAIL $name: no line with \"$line\""; ok=0; fi ;;
    esac
    if [ $ok = 1 ]; then echo "ok   $name"; else sed 's/^/     | /' "$work/out"; fails=$((fails + 1)); fi
done <<TABLE
all installed|always|always|all|yes||0||
i386 added, nothing else missing|ok|always|all|no||0|add-architecture i386;update|
only the missing package|ok|ok|$(echo "$all" | sed 's/ wine32//')|yes||0|update;install wine32|
named extras too|ok|ok|$all|yes|socat debootstrap|0|update;install socat debootstrap|
update fails once|once|ok|$(echo "$all" | sed 's/^cmake make/cmake/')|yes||0|update;update;install make|!failed twice
update always fails|always|ok|$all|yes|socat|0|update;update;install socat|apt-get update failed twice (http://mirror.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz); going on with the package lists apt has
install needs the release|ok|needs-t|$all|yes|socat|0|update;install socat;install -t testrelease socat|trying again with the release's own versions (-t testrelease)
both fail, then the release|always|needs-t|$all|yes|socat|0|update;update;install socat;install -t testrelease socat|trying again with the release's own versions (-t testrelease)
install always fails|ok|always|$all|yes|socat|1|update;install socat;install -t testrelease socat|install-deps: cannot install: socat (apt's reason above)
TABLE
[ $fails = 0 ] && echo "install-deps: all cases passed"
exit $fails
