#!/usr/bin/env bash
# Installs the Debian packages Brenvox needs to build, run and test, when any
# is missing. Uses sudo unless already root.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgl-dev ffmpeg xvfb xauth twm fonts-liberation
          desktop-file-utils appstream pkg-config libzmq3-dev cppzmq-dev pipewire pipewire-bin
          sox # sox: only bench_peers's comparison, which goes on without it
          exfatprogs exfat-fuse fuse3) # exports onto an exFAT image, where root can mount one

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
