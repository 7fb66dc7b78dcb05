#!/bin/sh
# A bad source fails with file and line, and leaves no output file behind,
# not even an older one.
set -u
helpc=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '.title T\n.topic a A\ntext\n\n.topic a B\nmore\n' > "$work/bad.txt"
echo old > "$work/out.hlp"
if "$helpc" "$work/bad.txt" "$work/out.hlp" 2> "$work/err"; then
    echo "helpc accepted a duplicate context id"; exit 1
fi
grep -q "bad.txt:5: context \"a\" is already used on line 2" "$work/err" || { cat "$work/err"; exit 1; }
[ ! -e "$work/out.hlp" ] && [ ! -e "$work/out.hlp.part" ] || { echo "output left behind"; exit 1; }
# A paragraph whose jumps would not fit one topic block: refused, not cut.
{ printf '.title T\n.topic a A\n'; i=0; while [ $i -lt 590 ]; do printf '{x|a}'; i=$((i + 1)); done; echo; } > "$work/big.txt"
if "$helpc" "$work/big.txt" "$work/out.hlp" 2> "$work/err"; then
    echo "helpc accepted a paragraph larger than a topic block"; exit 1
fi
grep -q "big.txt:3: the paragraph takes .* fit one topic block" "$work/err" || { cat "$work/err"; exit 1; }
[ ! -e "$work/out.hlp" ] || { echo "output left behind"; exit 1; }
printf '.title T\n.topic a A\ntext\n' > "$work/good.txt"
"$helpc" "$work/good.txt" "$work/out.hlp" || exit 1
[ -s "$work/out.hlp" ] && [ ! -e "$work/out.hlp.part" ] || { echo "no output"; exit 1; }
echo ok
