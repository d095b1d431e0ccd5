#!/bin/sh
# Makes the cross-check pictures once with Debian's ImageMagick from expected.txt
# (width height, then red green blue alpha per pixel, top row first). The pictures are
# committed; the tests decode them and compare with expected.txt. TGA files get the
# 26-byte version-2 footer appended (the writer leaves it out and the game's loader
# only recognises TGA files that carry it). This encoder stores TGA rows in the
# order it holds them and only labels the origin, so the top-down file is labelled
# top-left and the bottom-up one is flipped before it is labelled bottom-left.
set -e
cd "$(dirname "$0")"
IM=/usr/bin/convert
set -- $(head -1 expected.txt)
W=$1; H=$2
{ printf 'P7\nWIDTH %s\nHEIGHT %s\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n' "$W" "$H"
  tail -n +2 expected.txt | tr -s ' \n' '\n\n' | grep -v '^$' | while read v; do printf "\\$(printf '%03o' "$v")"; done
} > /tmp/imagecheck-src.pam
S=/tmp/imagecheck-src.pam
$IM $S -alpha off -type TrueColor BMP3:bmp24.bmp
$IM $S -alpha off -type Palette -compress None BMP3:bmp8.bmp
$IM $S -alpha off -type Palette -compress RLE BMP3:bmp8rle.bmp
$IM $S -type TrueColorAlpha BMP:bmp32.bmp
$IM $S -alpha off -compress None -orient TopLeft tga24.tga
$IM $S -flip -orient BottomLeft -compress RLE tga32rle.tga
$IM $S -alpha off -compress None psd3raw.psd
$IM $S -compress RLE psd4rle.psd
$IM $S -alpha off -type TrueColor pcx24.pcx
$IM $S -alpha off -type Palette pcx8.pcx
for f in tga24.tga tga32rle.tga; do
  printf '\0\0\0\0\0\0\0\0TRUEVISION-XFILE.\0' >> $f
done
rm -f /tmp/imagecheck-src.pam
