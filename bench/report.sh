#!/bin/sh
# report.sh RESULTS.tsv OUTDIR: the table (Markdown, also printed) and the plot.
set -eu
tsv=$1 out=$2
awk -F'\t' '
function size(b) { return b >= 1048576 ? sprintf("%d MiB", b / 1048576) : sprintf("%d B", b) }
function ratio(a, b) { return (b == "-" || b + 0 == 0) ? "-" : sprintf("%.2f", a / b) }
NR == 1 || $2 == "alive" { next }
{
    what = $2 == "tree" ? ($4 / 512) " files (" size($4) ")" : size($4)
    speed = $4 == 0 ? "-" : sprintf("%.1f", $6)
    floor = $14 == "-" ? "-" : sprintf("%.4f", $14)
    floor_ratio = ratio($5, $14)
    if ($15 != "-") {
        floor = floor " / " sprintf("%.4f", $15)
        floor_ratio = floor_ratio " / " ratio($5, $15)
    }
    printf "| %s | %s | %s | %.4f | %s | %s %.4f | %s | %s %s | %s | %s | %s | %d / %d |\n", \
        $1, what, $3, $5, speed, $7, $8, ratio($5, $8), $9, ($10 == "-" ? "" : sprintf("%.4f", $10)), \
        ratio($5, $10), floor, floor_ratio, $11 / 1024, $12 / 1024
}' "$tsv" > "$out/rows.md"
{
    echo "| place | case | level | ours (s) | MiB/s | GNU (s) | ours/GNU | limit (s) | ours/limit | floor (s): write / read+write, or per file | ours/floor | peak growth KiB (working set / private) |"
    echo "|---|---|---|---|---|---|---|---|---|---|---|---|"
    cat "$out/rows.md"
} > "$out/table.md"
rm -f "$out/rows.md"
# Where each folder floor's time goes, and what staying alive costs beside
# level 2's 256 MiB.
awk -F'\t' '
NR == 1 { next }
$2 == "tree" && $16 != "-" { calls[$1 " | " $3] = $16; floor[$1 " | " $3] = $14; order[++n] = $1 " | " $3 }
$2 == "file" && $3 == 2 && $4 == 268435456 { level2[$1] = $5 }
$2 == "alive" { alive[$1] = $5 }
END {
    print ""
    print "| place | level | folder floor (s) | its seconds by kind of call |"
    print "|---|---|---|---|"
    for (i = 1; i <= n; i++) {
        c = calls[order[i]]; gsub(",", ", ", c); gsub("=", " ", c)
        printf "| %s | %.2f | %s |\n", order[i], floor[order[i]], c
    }
    print ""
    for (p in alive)
        printf "Staying alive on %s: %.4f s over the 65,536 chunks of 256 MiB%s\n", p, alive[p], \
            (p in level2) ? sprintf(", %.2f %% of level 2 there (%.4f s).", 100 * alive[p] / level2[p], level2[p]) : "."
}' "$tsv" >> "$out/table.md"
cat "$out/table.md"

# MiB/s against file size, per level, beside GNU shred and the dd limit:
# one data file per series, so that each is a connected line.
for place in disk tmpfs; do
    awk -F'\t' -v p="$place" -v dir="$out" 'NR > 1 && $1 == p && $2 == "file" && $4 > 0 {
        mib = $4 / 1048576
        print mib, mib / $5 > (dir "/" p "-level" $3 ".dat")
        if ($3 == 2)
            print mib, mib / $14 > (dir "/" p "-floor2.dat")
        if ($3 == 2 || $3 == 4) {
            print mib, mib / $8 > (dir "/" p "-gnu" $3 ".dat")
            print mib, mib / $10 > (dir "/" p "-dd" $3 ".dat")
        }
    }' "$tsv"
done
gnuplot <<PLOT
set terminal pngcairo size 1200,520 font ",10"
set output "$out/shred-speed.png"
set multiplot layout 1,2
set logscale xy
set xrange [0.8:400]
set xlabel "file size (MiB)"
set ylabel "MiB/s of file overwritten"
set key outside bottom center horizontal maxrows 3
set grid
do for [place in "disk tmpfs"] {
    set title "shredder vs GNU shred and dd, on ".place
    d = "$out/".place
    plot d."-level2.dat" with linespoints lw 2 title "level 2", \
         d."-level3.dat" with linespoints lw 2 title "level 3", \
         d."-level4.dat" with linespoints lw 2 title "level 4", \
         d."-gnu2.dat" with linespoints dt 2 title "shred -n 1 -u", \
         d."-gnu4.dat" with linespoints dt 2 title "shred -n 5 -u", \
         d."-floor2.dat" with linespoints dt 4 title "level 2's write floor", \
         d."-dd2.dat" with linespoints dt 3 title "dd, 1 pass + fsync", \
         d."-dd4.dat" with linespoints dt 3 title "dd, 5 passes + fsync each"
}
unset multiplot
PLOT
rm -f "$out"/*.dat
echo "plot: $out/shred-speed.png"
