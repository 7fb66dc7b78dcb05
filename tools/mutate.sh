#!/bin/sh
# Mutation check: does some test fail when the program is wrong?
#   sh tools/mutate.sh [LIST] [FIRST [LAST]]
# Applies each change of LIST (tools/mutations.txt) alone to a copy of the
# tree under build/mutate, rebuilds the i686 build there (the x86-64 build
# where this kernel runs no 32-bit code), runs the suites that cover the
# changed file and prints "killed" (some test failed) or "survived" (none
# did). The working tree is never touched. FIRST and LAST
# pick a range of the list's changes, counted from 1.
#
# The list: blocks separated by blank lines, each
#   # what the change models (any number of comment lines)
#   file                  the source, relative to the tree
#   suites a b ...        optional: the test entries to run (else by folder)
#   @ context             optional: the change is the first line matching
#                         after this one
#   - text                a line of the file (its text without indentation);
#                         without a context it must be there exactly once
#   + text                what it becomes (indentation kept; "+" alone
#                         removes the line's code)
# A block may hold several -/+ pairs; all are applied together.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
list=${1:-$top/tools/mutations.txt}
first=${2:-1}
last=${3:-100000}
. "$top/tools/start.sh"
start_up
# Mutants are changes of the sources, which both builds share: where this
# kernel runs no 32-bit code, the x86-64 build under 64-bit Wine stands in.
native_arch
[ "$ARCH" = i686 ] ||
    echo "mutate: this machine runs no 32-bit code; the x86-64 build under 64-bit Wine is checked instead"
work="$top/build/mutate"
src="$work/src"
build="$work/$ARCH"
log="$work/log"
mkdir -p "$work"
: > "$log"

# A fresh copy of the sources, built once unchanged: every suite must pass
# on it, or a "killed" would mean nothing.
rm -rf "$src"
mkdir -p "$src"
(cd "$top" && tar cf - --exclude=./build --exclude=./.git .) | (cd "$src" && tar xf -)
source=$src configure "$build" ON "$ARCH" || { cat "$build/configure.log" >> "$log"; exit 1; }
# The suites take seconds here; a change that leaves a box up waits out
# this limit instead of ten minutes.
cmake -S "$src" -B "$build" -DZORVEX_TEST_TIMEOUT=150 >> "$build/configure.log" 2>&1 || exit 1
compile "$build" >> "$log" 2>&1 || { tail -30 "$log"; exit 1; }
ctest --test-dir "$build" -R '^sandbox_setup$' >> "$log" 2>&1 || { tail -30 "$log"; exit 1; }
trap 'ctest --test-dir "$build" -R "^sandbox_cleanup\$" > /dev/null 2>&1 || true' EXIT
suites_of() {
    case "$1" in
    shred/*) echo shred_tests delete_tests chooser_tests ;;
    app/*) echo shell_tests help_tests dialogs_tests chooser_tests delete_tests ;;
    settings/*) echo options_tests shell_tests ;;
    registry/*) echo registry_tests options_tests ;;
    dialogs/*|res/*) echo dialogs_tests help_tests ;;
    *) echo registry_tests shred_tests options_tests shell_tests delete_tests dialogs_tests chooser_tests help_tests ;;
    esac
}
run_suites() {
    pattern=$(echo "$*" | sed 's/ /|/g')
    ctest --test-dir "$build" -R "^($pattern)\$" -FA sandbox --stop-on-failure --output-on-failure \
        < /dev/null >> "$log" 2>&1
}
echo "mutate: the unchanged sources" | tee -a "$log"
run_suites $(suites_of any) || { echo "mutate: the suites fail on the unchanged sources; see $log" >&2; exit 1; }

# apply FILE: the block's pairs (in $work/pairs, "-text" and "+text" lines)
# applied to FILE; non-zero with a reason when a line is not found once.
apply() {
    awk -v pairs="$work/pairs" -v context="$2" '
        function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
        BEGIN {
            n = 0
            while ((getline line < pairs) > 0) {
                if (substr(line, 1, 1) == "-") old[++n] = trim(substr(line, 2))
                else new[n] = trim(substr(line, 2))
            }
            started = context == ""
        }
        { text[NR] = $0 }
        END {
            for (i = 1; i <= NR; i++) {
                if (!started) { if (trim(text[i]) == context) started = i; continue }
                for (k = 1; k <= n; k++)
                    if (trim(text[i]) == old[k] && !(context != "" && found[k])) { found[k]++; at[k] = i }
            }
            if (!started) { print "context not found: " context > "/dev/stderr"; exit 2 }
            for (k = 1; k <= n; k++)
                if (found[k] != 1) { print "found " found[k] + 0 " times: " old[k] > "/dev/stderr"; exit 2 }
            for (k = 1; k <= n; k++) {
                match(text[at[k]], /^[ \t]*/)
                text[at[k]] = substr(text[at[k]], 1, RLENGTH) new[k]
            }
            for (i = 1; i <= NR; i++) print text[i]
        }' "$1" > "$1.mutated" && mv "$1.mutated" "$1"
}

killed=0 survived=0 broken=0 number=0
survivors=""
# One block at a time: its lines gathered, then tried.
try_block() {
    [ -n "$file" ] || return 0
    number=$((number + 1))
    if [ "$number" -lt "$first" ] || [ "$number" -gt "$last" ]; then
        return 0
    fi
    cp "$src/$file" "$work/original"
    if ! apply "$src/$file" "$context" 2>> "$log"; then
        echo "$number broken   $file: $title (the list no longer matches the source)"
        broken=$((broken + 1))
        cp "$work/original" "$src/$file"
        return 0
    fi
    echo "== $number $file: $title" >> "$log"
    # Only the suites' own programs: each suite is a target of its name.
    tried=${suites:-$(suites_of "$file")}
    if ! compile "$build" $tried >> "$log" 2>&1; then
        verdict=killed   # a change that does not compile is no fault a test must find
        note=" (does not build)"
    elif run_suites $tried; then
        verdict=survived note=""
    else
        verdict=killed note=""
    fi
    cp "$work/original" "$src/$file"
    touch "$src/$file"
    if [ "$verdict" = killed ]; then
        killed=$((killed + 1))
    else
        survived=$((survived + 1))
        survivors="$survivors $number"
    fi
    printf '%s %-8s %s: %s%s\n' "$number" "$verdict" "$file" "$title" "$note"
}
file="" suites="" context="" title=""
: > "$work/pairs"
# The list on its own descriptor: the builds and suites must not read it.
while IFS= read -r line <&3 || [ -n "$line" ]; do
    case "$line" in
    "")
        try_block
        file="" suites="" context="" title=""
        : > "$work/pairs" ;;
    "# "*) [ -n "$title" ] || title=${line#\# } ;;
    "#"*) ;;
    "suites "*) suites=${line#suites } ;;
    "@ "*) context=${line#@ } ;;
    "-"*|"+"*) printf '%s\n' "$line" >> "$work/pairs" ;;
    *) file=$line ;;
    esac
done 3< "$list"
try_block
# Back to the unchanged build, so that a later run starts from it.
compile "$build" >> "$log" 2>&1 || true
echo "$killed killed, $survived survived${survivors:+ (changes$survivors)}${broken:+, $broken not applied}" |
    sed 's/, 0 not applied//'
[ "$survived" -eq 0 ] && [ "$broken" -eq 0 ]
