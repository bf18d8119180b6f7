#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that the desktop entry,
# metainfo and icon are where the desktop expects them and validate, and that
# the installed program starts from there (tools from PATH, workspace under
# TMPDIR) and removes its workspace when asked to end.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.brenvox.Brenvox
expect=(
    "bin/brenvox"
    "share/applications/$id.desktop"
    "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg"
)
for file in "${expect[@]}"; do
    [ -f "$prefix/$file" ] || { echo "FAIL: $file not installed"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"

# The installed folder is read-only, as for a program installed by root.
chmod -R a-w "$prefix"
mkdir "$scratch/tmp"
TMPDIR=$scratch/tmp QT_QPA_PLATFORM=offscreen "$prefix/bin/brenvox" &
program=$!
for _ in $(seq 100); do
    compgen -G "$scratch/tmp/brenvox-*/TempWavs" >/dev/null && break
    sleep 0.1
done
compgen -G "$scratch/tmp/brenvox-*/TempWavs" >/dev/null || { echo "FAIL: no workspace"; kill $program; exit 1; }
kill -TERM $program
wait $program || { echo "FAIL: brenvox did not end cleanly"; exit 1; }
if compgen -G "$scratch/tmp/brenvox-*" >/dev/null; then echo "FAIL: workspace left behind"; exit 1; fi
chmod -R u+w "$prefix"
