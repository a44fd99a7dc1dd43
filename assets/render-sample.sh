#!/usr/bin/env bash
# Render sample.svg into sample.gif (188x179, 256-colour palette, no metadata).
# Needs rsvg-convert (librsvg2-bin) and convert (imagemagick).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

rsvg-convert --width 188 --height 179 --background-color '#000000' \
    --output "$tmp/sample.png" "$here/sample.svg"

convert "$tmp/sample.png" -alpha off +dither -colors 256 -strip \
    "$tmp/sample.gif"

mv "$tmp/sample.gif" "$here/sample.gif"
