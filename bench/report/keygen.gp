# RSA key generation time against key length: median with the 10th to 90th
# percentile as error bars, our component beside OpenSSL's EVP key generation.
# Called by scripts/bench with datafile and outfile set.
set terminal pngcairo size 900,600 font "DejaVu Sans,11"
set output outfile
set title "RSA key generation: median, bars from 10th to 90th percentile"
set xlabel "key length (bits)"
set ylabel "CPU time per key (ms)"
set logscale xy 2
set logscale y 10
set xtics ("512" 512, "2048" 2048, "4096" 4096)
set xrange [400:5200]
set grid ytics mytics
set key top left
# Nudge the two series apart so their bars do not overlap.
plot datafile using ($1*0.97):2:3:4 with yerrorlines lw 2 pt 7 title "Tarvel component (GenerateKey)", \
     datafile using ($1*1.03):5:6:7 with yerrorlines lw 2 pt 5 title "OpenSSL EVP\\_PKEY key generation"
