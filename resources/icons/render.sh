#!/usr/bin/env bash
# Regenerates the PNG icons from the SVG drawings in svg/.
# Only needed after editing a drawing; the build uses the committed PNGs.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"

toolbar=(new open save about autozoom zoomin zoomout axes elementtree
         upright inclined bonjean submergedtrim hydrostatics stability conditions)
for name in "${toolbar[@]}"; do
  rsvg-convert -w 32 -h 32 "svg/$name.svg" -o "$name.png"
done

# The element tree's icons (enabled and disabled per kind) and the colour
# button's two faces (up and pressed) in the element properties dialog.
others=(element-hull element-hull-disabled element-compartment
        element-compartment-disabled element-tank element-tank-disabled
        colour colour-pressed)
for name in "${others[@]}"; do
  rsvg-convert -w 32 -h 32 "svg/$name.svg" -o "$name.png"
done

rsvg-convert -w 256 -h 256 svg/brelund.svg -o brelund.png
for size in 48 128 256; do
  mkdir -p "hicolor/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" svg/brelund.svg -o "hicolor/${size}x${size}/brelund.png"
  rsvg-convert -w "$size" -h "$size" svg/application-x-brelund-nav.svg \
    -o "hicolor/${size}x${size}/application-x-brelund-nav.png"
done
