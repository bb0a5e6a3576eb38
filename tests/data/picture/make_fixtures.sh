#!/bin/sh
# Makes the picture fixtures from pattern.ppm (5 x 3 colours), pattern_bw.pbm
# and pattern_grey.pgm with ImageMagick 6 (`convert`), then the hand-made ones
# with make_crafted.py. Run from this folder. -strip keeps dates out of the files.
set -e

# BMP
convert pattern_bw.pbm -type bilevel BMP3:bmp1.bmp
convert pattern.ppm -type palette BMP3:bmp4.bmp
convert pattern.ppm -type palette BMP2:bmp4_os2.bmp
# With more than 16 colours in the map, ImageMagick writes 8 bits per pixel.
convert pattern.ppm -size 5x6 gradient:gray10-gray90 -append +repage remap.ppm
convert pattern.ppm +dither -remap remap.ppm -type palette -compress none BMP3:bmp8.bmp
rm remap.ppm
convert pattern.ppm -type palette -compress RLE BMP3:bmp8_rle.bmp
convert pattern.ppm -define bmp:subtype=RGB565 BMP:bmp16_565.bmp
convert pattern.ppm -define bmp:subtype=RGB555 BMP:bmp16_555_bitfields.bmp
convert pattern.ppm BMP3:bmp24.bmp
convert pattern.ppm -alpha on -define bmp3:alpha=true BMP3:bmp32.bmp
convert pattern.ppm -alpha on BMP:bmp32_bitfields.bmp

# JPEG: each pattern pixel becomes one 8 x 8 block, no colour subsampling.
convert pattern.ppm -scale 800% -sampling-factor 1x1 -quality 95 -strip jpeg_baseline.jpg
convert pattern.ppm -scale 800% -sampling-factor 1x1 -quality 95 -interlace JPEG -strip jpeg_progressive.jpg
convert pattern_grey.pgm -scale 800% -quality 95 -strip jpeg_grey.jpg
convert pattern.ppm -scale 800% -sampling-factor 1x1 -quality 95 -colorspace CMYK -strip jpeg_cmyk.jpg

# PNG
convert pattern.ppm -strip PNG24:png_rgb.png
convert pattern.ppm -scale 300% -interlace PNG -strip PNG24:png_interlaced.png
convert pattern.ppm -transparent white -strip PNG8:png_palette_trns.png
convert pattern_grey.pgm -transparent 'gray(128)' -define png:color-type=0 -define png:bit-depth=8 -strip png_grey_trns.png
convert pattern_bw.pbm -define png:color-type=0 -define png:bit-depth=1 -strip png_grey1.png
convert pattern.ppm -depth 16 -strip PNG48:png_rgb16.png
convert pattern.ppm -transparent white -depth 16 -strip PNG64:png_rgba16.png

# GIF
convert pattern.ppm -strip gif.gif
# ImageMagick 6 writes a 3-row interlaced GIF in the wrong row order; 9 rows are right.
convert pattern.ppm -scale 300% -interlace GIF -strip gif_interlaced.gif
convert pattern.ppm -transparent white -strip gif_transparent.gif
convert pattern.ppm \( pattern.ppm -negate \) -loop 0 -strip gif_animated.gif

# 160 x 14, the display's size: a black rectangle from (10, 2) to (150, 11) on white.
convert -size 160x14 xc:white -fill black -draw 'rectangle 10,2 150,11' -type bilevel BMP3:train.bmp
convert -size 160x14 xc:white -fill black -draw 'rectangle 10,2 150,11' -strip PNG24:train.png
convert -size 160x14 xc:white -fill black -draw 'rectangle 10,2 150,11' -quality 90 -strip train.jpg
convert -size 160x14 xc:white -fill black -draw 'rectangle 10,2 150,11' -strip train.gif
# A photo for the picture maker: a red coach under a sky, on grass, with the
# grain of a camera (the seed makes the grain the same on every run).
convert -size 320x120 gradient:'#6fa8dc-#f4f1e8' \
  -fill '#3b6e2f' -draw 'rectangle 0,100 319,119' \
  -fill '#8a1c1c' -draw 'roundrectangle 26,46 294,94 12,12' \
  -fill '#f2f2f2' -draw 'rectangle 46,56 80,73 rectangle 93,56 127,73 rectangle 140,56 174,73 rectangle 187,56 221,73 rectangle 234,56 268,73' \
  -fill '#1a1a1a' -draw 'circle 66,97 66,88 circle 254,97 254,88 rectangle 20,93 300,97' \
  -seed 26 -attenuate 0.25 +noise Gaussian -quality 80 -sampling-factor 2x2 -strip photo.jpg
# Cut short after a header that declares a huge size, for what a reader costs
# then. They are named apart from the fuzz seeds: every variation of them
# would decode megapixels, and the fuzzer would spend its minute on them.
# ImageMagick's resource limits allow 5000 x 5000, not more, for the formats
# it writes whole.
convert -size 8000x8000 xc:white -fill black -draw 'rectangle 10,2 150,11' -quality 90 -strip whole.jpg
head -c 627 whole.jpg > cut_8000x8000.jpg
# wide_progressive_14848x24.jpg is no cut: 258 bytes the JPEG fuzz target
# made, a progressive header of 14848 x 24 pixels with next to no data, kept
# as it came.
convert -size 4000x4000 xc:white -fill black -draw 'rectangle 10,2 150,11' -interlace JPEG -quality 85 -strip whole.jpg
head -c 627 whole.jpg > cut_progressive_4000x4000.jpg
convert -size 5000x5000 xc: -seed 1 +noise Random -colorspace gray -threshold 50% -type bilevel -strip whole.png
head -c 4096 whole.png > cut_5000x5000.png
convert whole.png -strip whole.gif
head -c 4096 whole.gif > cut_5000x5000.gif
convert -size 5000x5000 xc: -seed 1 +noise Random -colorspace gray -type palette -compress RLE BMP3:whole.bmp
head -c 4096 whole.bmp > cut_rle_5000x5000.bmp
rm whole.jpg whole.png whole.gif whole.bmp
python3 make_crafted.py
