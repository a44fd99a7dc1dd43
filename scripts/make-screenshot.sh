#!/usr/bin/env bash
# Remakes docs/screenshot.png: the window after a separation of the sample, under Xvfb.
# Usage: scripts/make-screenshot.sh [PROGRAM]   (default build/irobunkai)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program=${1:-"$root/build/irobunkai"}
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "make-screenshot: $tool is missing" >&2; exit 2; }
done

display=99
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pid=
trap 'kill $pid $xvfb 2>/dev/null || true' EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
pid=$!
window=$(timeout 20 xdotool search --sync --name '^Form1$' | head -n 1)
sleep 0.5
# The separate button's centre, in the window's client area.
xdotool mousemove --window "$window" 256 80 click 1
sleep 0.5
mkdir -p "$root/docs"
import -window "$window" "$root/docs/screenshot.png"
echo "wrote docs/screenshot.png"
