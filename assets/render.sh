#!/usr/bin/env bash
# Renders assets/svg/*.svg to assets/png/*.png at their own sizes (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for svg in svg/*.svg; do
  rsvg-convert "$svg" -o "png/$(basename "${svg%.svg}").png"
done
