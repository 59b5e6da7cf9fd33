#!/usr/bin/env bash
# Looks at TELMOR as a person would: starts it on a virtual X display, types
# the start-up dialogue for the bundled sample with xdotool and saves a
# screenshot of the overview with its beat markers and the menu line.
# Run by hand (needs xvfb, xdotool, imagemagick and a built build/):
#   tests/gui/look_under_xvfb.sh [SCREENSHOT.png]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
shot=$(realpath -m "${1:-$top/build/telmor-overview.png}")
display=:97

Xvfb "$display" -screen 0 1400x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$telmor" "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1

cd "$top/examples"
"$top/build/src/gui/telmor" &
telmor=$!

# No window manager: find the frame and give it the focus ourselves.
window=""
for _ in $(seq 50); do
  window=$(xdotool search --onlyvisible --pid "$telmor" 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "no TELMOR window appeared" >&2; exit 1; }
xdotool windowfocus --sync "$window"
sleep 0.5

for reply in y y y sample 8 10; do
  xdotool type --delay 30 "$reply"
  xdotool key Return
  sleep 0.3
done
sleep 2  # reading, preparing and drawing the overview
import -window root "$shot"
echo "screenshot: $shot"
