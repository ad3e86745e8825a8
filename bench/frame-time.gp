# Frame time against pin count, from run-all.sh's sweep.dat (T fps median p99 cpu rss).
# Usage: gnuplot -e "data='sweep.dat'; output='perf-frame-time.png'" frame-time.gp
set terminal pngcairo size 900,560 font "sans,11"
set output output
set title "Varo on Mesa llvmpipe, 1024 x 768: frame time against pin count"
set xlabel "T (the board is 2T x T pins)"
set ylabel "milliseconds per frame"
set y2label "pins drawn"
set ytics nomirror
set y2tics
set key top left
plot data using 1:3 with linespoints lw 2 pt 7 title "median frame time", \
     data using 1:4 with linespoints lw 2 pt 5 dt 2 title "99th percentile", \
     data using 1:5 with linespoints lw 1 pt 1 dt 3 title "CPU time, all threads", \
     data using 1:(2*$1*$1) axes x1y2 with lines lc "gray" title "pins (right axis)"
