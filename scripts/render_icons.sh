#!/bin/sh
# Renders the PNG sizes of the application icon from resources/icons/kestrel.svg
# (needs rsvg-convert, Debian package librsvg2-bin). The PNGs are committed, so
# a build never needs this; run it after changing the SVG.
set -eu
cd "$(dirname "$0")/../resources/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" kestrel.svg -o "kestrel-$size.png"
done
