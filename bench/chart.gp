# Draws docs/performance.png from two frame-benchmark CSV files (wm_bench_frame --csv)
# and the OBJ loader times (milliseconds of CPU per load of the generated large model):
#   gnuplot -e "before='before.csv'; after='after.csv'; objBefore=300; objAfter=100; \
#               tinyobj=1000; assimp=1000; out='docs/performance.png'" bench/chart.gp
set terminal pngcairo size 1200,900 font "DejaVu Sans,11"
set output out
set datafile separator ","
set multiplot layout 2,2 title "WM on llvmpipe (Xvfb, 1024 x 768, 2 cores)"

set title "Frame time along the camera path"
set xlabel "frame"
set ylabel "ms"
set yrange [0:*]
set key top right
set grid ytics
plot before using 1:2 with lines lw 1.5 lc rgb "#c0504d" title "before", \
     after using 1:2 with lines lw 1.5 lc rgb "#4f81bd" title "after", \
     66.7 with lines dt 2 lc rgb "#606060" title "15 fps"

set title "Time per pass (glFinish after each), mean over the path"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.9 border -1
set boxwidth 0.9
set xlabel ""
set ylabel "ms per frame"
set xtics ("reflection" 0, "refraction" 1, "main" 2, "water" 3, "GUI" 4)
stats before using 8 nooutput name "B1"
stats before using 9 nooutput name "B2"
stats before using 10 nooutput name "B3"
stats before using 11 nooutput name "B4"
stats before using 12 nooutput name "B5"
stats after using 8 nooutput name "A1"
stats after using 9 nooutput name "A2"
stats after using 10 nooutput name "A3"
stats after using 11 nooutput name "A4"
stats after using 12 nooutput name "A5"
set print $passes
print sprintf("%f,%f", B1_mean, A1_mean)
print sprintf("%f,%f", B2_mean, A2_mean)
print sprintf("%f,%f", B3_mean, A3_mean)
print sprintf("%f,%f", B4_mean, A4_mean)
print sprintf("%f,%f", B5_mean, A5_mean)
unset print
plot $passes using 1 title "before" lc rgb "#c0504d", '' using 2 title "after" lc rgb "#4f81bd"

set title "Loading the 1,000,000-triangle OBJ file (CPU ms, lower is better)"
set xtics ("game, before" 0, "game, after" 1, "tinyobjloader" 2, "Assimp" 3)
set ylabel "ms"
set print $loaders
print sprintf("%f", objBefore)
print sprintf("%f", objAfter)
print sprintf("%f", tinyobj)
print sprintf("%f", assimp)
unset print
set style histogram clustered gap 1
plot $loaders using 1 notitle lc rgb "#4f81bd"

set title "Share of the frame per pass, after"
unset xtics
set xtics ("reflection" 0, "refraction" 1, "main" 2, "water" 3, "GUI" 4)
set ylabel "%"
total = A1_mean + A2_mean + A3_mean + A4_mean + A5_mean
set print $share
print sprintf("%f", 100 * A1_mean / total)
print sprintf("%f", 100 * A2_mean / total)
print sprintf("%f", 100 * A3_mean / total)
print sprintf("%f", 100 * A4_mean / total)
print sprintf("%f", 100 * A5_mean / total)
unset print
plot $share using 1 notitle lc rgb "#9bbb59"

unset multiplot
