# Resident memory of a long run, from tools/soak.sh's CSV (minute,rss_kib).
# Usage: gnuplot -e "data='soak.csv'; output='soak.png'" tools/soak.gp (tools/soak.sh does it)
set terminal pngcairo size 900,420 font "sans,11"
set output output
set datafile separator ","
set title "Varo, release build, full screen 1024 x 768 on Xvfb (Mesa llvmpipe): resident memory"
set xlabel "minutes"
set ylabel "resident memory, MiB"
set yrange [0:*]
set key bottom right
set grid
plot data every ::1 using 1:($2/1024.0) with linespoints lw 2 pt 7 title "resident set size, sampled each minute"
