#!/usr/bin/env bash
# Takes a screenshot of Brenvox's main window on a virtual X display.
#   [BRENVOX_SCALE=2] [BRENVOX_SCREEN=1366x768] [BRENVOX_PRESET=file.json] bash scripts/screenshot.sh [build folder] [output.png]
# Without a build folder it builds build/release first. Needs Xvfb (Debian
# package xvfb) and ffmpeg, which grabs the screen; with twm installed the
# window gets a title bar that shows its caption, and with xwininfo (x11-utils)
# the picture holds the window alone. BRENVOX_SCALE is Qt's scale factor
# (QT_SCALE_FACTOR, default 1); the screen is 1366x768 times that scale
# unless BRENVOX_SCREEN says otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-}
output=${2:-screenshot.png}
if [ -z "$build" ]; then
    build=build/release
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target brenvox -j"$(nproc)"
fi
program="$build/bin/brenvox"
scale=${BRENVOX_SCALE:-1}
screen=${BRENVOX_SCREEN:-$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 1366 * s, 768 * s }')}
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }

display=97
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done

Xvfb ":$display" -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
brenvox=
manager=
scratch=$(mktemp -d)
cleanup() {
    [ -n "$brenvox" ] && kill "$brenvox" 2>/dev/null || true
    [ -n "$manager" ] && kill "$manager" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done

if command -v twm >/dev/null; then
    # Places windows itself instead of asking for a click, and uses the
    # server's built-in font: Xvfb may have no others.
    printf '%s\n' RandomPlacement 'UsePPosition "on"' NoGrabServer 'TitleFont "fixed"' \
        'ResizeFont "fixed"' 'MenuFont "fixed"' 'IconFont "fixed"' 'IconManagerFont "fixed"' >"$scratch/twmrc"
    LC_ALL=C twm -display ":$display" -f "$scratch/twmrc" >/dev/null 2>&1 &
    manager=$!
    sleep 0.5
fi

# A preset with a shape per channel shows the curve doing its work.
preset=${BRENVOX_PRESET:-docs/screenshot-preset.json}
DISPLAY=":$display" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$program" --preset "$preset" &
brenvox=$!
# "Loading..." shows for one to two seconds; then the window is complete.
sleep 4

# The largest window on the screen is the main window in its frame.
area=$screen
origin=0,0
if command -v xwininfo >/dev/null; then
    largest=$(xwininfo -display ":$display" -root -children \
        | awk '$0 ~ /^ +0x/ && match($0, /[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+ /) {
                   split(substr($0, RSTART, RLENGTH - 1), g, /[x+]/)
                   if (g[1] * g[2] > best) { best = g[1] * g[2]; id = $1 } }
               END { print id }')
    if [ -n "$largest" ]; then
        read -r left top width height border < <(xwininfo -display ":$display" -id "$largest" \
            | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                   /Width:/ { w = $2 } /Height:/ { h = $2 } /Border width:/ { b = $3 }
                   END { print x, y, w, h, b }')
        left=$((left - border)); top=$((top - border))
        width=$((width + 2 * border)); height=$((height + 2 * border))
        # What lies off the screen cannot be grabbed.
        ((left < 0)) && { width=$((width + left)); left=0; }
        ((top < 0)) && { height=$((height + top)); top=0; }
        width=$((width < ${screen%x*} - left ? width : ${screen%x*} - left))
        height=$((height < ${screen#*x} - top ? height : ${screen#*x} - top))
        area=${width}x${height}
        origin=$left,$top
    fi
fi
ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size "$area" -i ":$display+$origin" -frames:v 1 -pred mixed "$output"
echo "screenshot: $output"
