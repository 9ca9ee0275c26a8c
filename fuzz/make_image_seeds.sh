#!/bin/sh
# Writes starting inputs for the image fuzz targets into fuzz/seeds/NAME/ (not kept in
# git): small pictures made by ImageMagick and cjpeg in the forms the decoders read.
# Run it before `./velvet fuzz`, which picks the seed folders up.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 13x7 gradient:yellow-navy -swirl 90 -depth 8 "ppm:$work/src.ppm"

mkdir -p seeds/jpeg_decode seeds/bmp_decode seeds/tga_decode seeds/dib_load
cjpeg -outfile seeds/jpeg_decode/baseline.jpg "$work/src.ppm"
cjpeg -progressive -outfile seeds/jpeg_decode/progressive.jpg "$work/src.ppm"
cjpeg -grayscale -restart 1 -outfile seeds/jpeg_decode/grey.jpg "$work/src.ppm"
cjpeg -sample 1x1 -optimize -outfile seeds/jpeg_decode/444.jpg "$work/src.ppm"
cjpeg -arithmetic -outfile seeds/jpeg_decode/arithmetic.jpg "$work/src.ppm"
cjpeg -arithmetic -progressive -outfile seeds/jpeg_decode/arithmetic-progressive.jpg "$work/src.ppm"
convert "$work/src.ppm" -colorspace CMYK seeds/jpeg_decode/cmyk.jpg

for dir in bmp_decode dib_load; do
  convert "$work/src.ppm" -type TrueColor "bmp3:seeds/$dir/rgb24.bmp"
  convert "$work/src.ppm" -type TrueColor "bmp:seeds/$dir/v5.bmp"
  convert "$work/src.ppm" -colors 40 -type Palette "bmp3:seeds/$dir/rle8.bmp"
  convert "$work/src.ppm" -colors 40 -type Palette -compress none "bmp3:seeds/$dir/pal8.bmp"
  convert "$work/src.ppm" -colors 12 -type Palette -compress none "bmp3:seeds/$dir/pal4.bmp"
  convert "$work/src.ppm" -monochrome -compress none "bmp3:seeds/$dir/mono.bmp"
  convert "$work/src.ppm" -alpha set -type TrueColorAlpha "bmp3:seeds/$dir/rgba32.bmp"
  convert "$work/src.ppm" -alpha set "bmp:seeds/$dir/fields32.bmp"
  convert "$work/src.ppm" -define bmp:subtype=RGB565 "bmp:seeds/$dir/fields16.bmp"
  convert "$work/src.ppm" -colors 2 -type Palette "bmp3:seeds/$dir/pal1.bmp"
done

convert "$work/src.ppm" -flip -orient BottomLeft seeds/tga_decode/rgb24.tga
convert "$work/src.ppm" -flip -orient BottomLeft -compress RLE seeds/tga_decode/rle24.tga
convert "$work/src.ppm" -alpha set -flip -orient BottomLeft seeds/tga_decode/rgba32.tga
convert "$work/src.ppm" -colorspace Gray -type Grayscale -compress RLE seeds/tga_decode/grey-rle.tga
convert "$work/src.ppm" -colors 20 -type Palette seeds/tga_decode/mapped.tga
convert "$work/src.ppm" -colors 20 -type Palette -compress RLE -orient TopLeft seeds/tga_decode/mapped-rle.tga
convert "$work/src.ppm" -orient TopLeft -compress RLE seeds/tga_decode/top-rle24.tga
# Hand-made files that once decoded wrongly: run-length bitmaps claiming 16384 x 16384
# pixels that end at once (gigabytes allocated before the picture bound: named as
# libFuzzer names inputs that ran out of memory, so ./velvet fuzz --merge always keeps
# them), and a run-length colour-mapped TGA whose pixels index past its two-entry map.
python3 - <<'PY'
import struct
def bmp(width, height, bits, compression, colours, data):
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression, 0, 2835, 2835, 0, 0)
    offset = 14 + len(info) + 4 * colours
    return b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset) + info + bytes(4 * colours) + data
for name, bits, compression in (('oom-rle8-16384.bmp', 8, 1), ('oom-rle4-16384.bmp', 4, 2)):
    for folder in ('bmp_decode', 'dib_load'):
        with open('seeds/%s/%s' % (folder, name), 'wb') as f:
            f.write(bmp(16384, 16384, bits, compression, 1 << bits, b'\0\0\0\1'))
header = struct.pack('<BBBHHBHHHHBB', 0, 1, 9, 0, 2, 24, 0, 0, 2, 2, 8, 0)
with open('seeds/tga_decode/mapped-rle-past-map.tga', 'wb') as f:
    f.write(header + bytes(6) + b'\x83\xc8')
PY
echo "seeds written under $(pwd)/seeds"
