#!/usr/bin/env bash
# Takes a screenshot of Brenvox's main window on a virtual X display.
#   bash scripts/screenshot.sh [build folder] [output.png]
# Without a build folder it builds build/release first. Needs Xvfb (Debian
# package xvfb) and ffmpeg, which grabs the screen; with twm installed the
# window gets a title bar that shows its caption.
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
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }

display=97
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done

Xvfb ":$display" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
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

DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$program" &
brenvox=$!
# "Loading..." shows for one to two seconds; then the window is complete.
sleep 4
ffmpeg -loglevel error -y -f x11grab -video_size 1400x900 -i ":$display" -frames:v 1 "$output"
echo "screenshot: $output"
