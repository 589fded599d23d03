#!/usr/bin/env bash
# Renders the PNG icons from resources/icons/velomast.svg (needs rsvg-convert, Debian's
# librsvg2-bin). The PNGs are committed; run this after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for s in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${s}x${s}/apps"
  rsvg-convert -w "$s" -h "$s" velomast.svg -o "hicolor/${s}x${s}/apps/velomast.png"
done
