#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders assets/svg/*.svg to assets/png/*.png at their own sizes, and the icon at the desktop's
# sizes to assets/icons/ (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for svg in svg/*.svg; do
  rsvg-convert "$svg" -o "png/$(basename "${svg%.svg}").png"
done
# The program's icon for the desktop's menus, in the hicolor theme's sizes.
for size in 16 24 32 48 64 128 256; do
  mkdir -p "icons/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" svg/icon.svg -o "icons/${size}x${size}/tolvane.png"
done
