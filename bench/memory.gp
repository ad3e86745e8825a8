# Resident memory over the soak run, from run-all.sh's memory.dat (frames, resident KiB).
# Usage: gnuplot -e "data='memory.dat'; output='perf-memory.png'" memory.gp
set terminal pngcairo size 900,480 font "sans,11"
set output output
set title "Varo on Mesa llvmpipe, 1024 x 768: resident memory while pins, help page and resets change"
set xlabel "frames drawn (a key command every 25 frames)"
set ylabel "resident memory, MiB"
set yrange [0:*]
set key bottom right
set grid
plot data using 1:($2/1024.0) with linespoints lw 2 pt 7 title "resident set size"
