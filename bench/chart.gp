# Draws docs/performance.png from two frame-benchmark CSV files (wm_bench_frame --csv)
# and the OBJ loader times (milliseconds of CPU per load of the generated large model):
#   gnuplot -e "before='before.csv'; after='after.csv'; objBefore=936; objAfter=99; \
#               tinyobj=958; assimp=1303; note='load average 3 to 5'; out='docs/performance.png'" bench/chart.gp
set terminal pngcairo size 1200,900 font "DejaVu Sans,11"
set output out
set datafile separator ","
if (!exists("note")) note = ""
set multiplot layout 2,2 title sprintf("WM on llvmpipe (Xvfb, 1024 x 768, 2 cores) %s", note)

set title "Frame time along the camera path"
set xlabel "frame"
set ylabel "ms"
set yrange [0:*]
set key top right
set grid ytics
plot before using 1:2 with lines lw 1.5 lc rgb "#c0504d" title "before", \
     after using 1:2 with lines lw 1.5 lc rgb "#4f81bd" title "after", \
     66.7 with lines dt 2 lc rgb "#606060" title "15 fps"

set title "CPU time per pass, all threads (glFinish after each), mean"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.9 border -1
set boxwidth 0.9
set xlabel ""
set ylabel "ms per frame"
set xtics ("reflection" 0, "refraction" 1, "main" 2, "water" 3, "GUI" 4)
set print $passes
do for [column = 13:17] {
    stats before using column nooutput name "B"
    stats after using column nooutput name "A"
    print sprintf("%f,%f", B_mean, A_mean)
}
unset print
plot $passes using 1 title "before" lc rgb "#c0504d", '' using 2 title "after" lc rgb "#4f81bd"

set title "Reading the 1,000,000-triangle OBJ file (CPU ms, lower is better)"
set yrange [0:*]
set xtics ("game, before" 0, "game, after" 1, "tinyobjloader" 2, "Assimp" 3)
set ylabel "ms"
set print $loaders
print sprintf("%f", objBefore)
print sprintf("%f", objAfter)
print sprintf("%f", tinyobj)
print sprintf("%f", assimp)
unset print
set style histogram clustered gap 1
plot $loaders using 1 notitle lc rgb "#4f81bd", '' using 0:1:(sprintf("%.0f", $1)) with labels offset 0,0.8 notitle

set title "Process CPU time per frame (all threads), steadier under load"
set style data lines
set xtics auto
set xlabel "frame"
set ylabel "ms"
set yrange [0:*]
plot before using 1:6 with lines lw 1.5 lc rgb "#c0504d" title "before", \
     after using 1:6 with lines lw 1.5 lc rgb "#4f81bd" title "after"

unset multiplot
