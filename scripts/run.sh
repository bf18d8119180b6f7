#!/usr/bin/env bash
# Installs what is missing, builds Brenvox and launches it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target brenvox -j"$(nproc)"
exec build/release/bin/brenvox
