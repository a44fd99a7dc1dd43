#!/usr/bin/env bash
# Render the scalable icon into the fixed-size PNGs beside it. The PNGs are committed so that
# building and packaging need no SVG renderer. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
id=io.github.irobunkai.Irobunkai
svg="$here/icons/hicolor/scalable/apps/$id.svg"

if ! command -v rsvg-convert >/dev/null; then
  echo "render-icons: rsvg-convert not found; install librsvg2-bin" >&2
  exit 1
fi

for n in 16 32 48 64 128 256; do
  dir="$here/icons/hicolor/${n}x${n}/apps"
  mkdir -p "$dir"
  # Write beside the target and rename, so a failed render never leaves a truncated PNG.
  rsvg-convert --width "$n" --height "$n" --format png --output "$dir/.$id.png.tmp" "$svg"
  mv "$dir/.$id.png.tmp" "$dir/$id.png"
done
