#!/usr/bin/env bash
# Installs what is missing, builds Melotrix and starts its window. Arguments
# go to the program (a voice file to load into bank 1).
set -euo pipefail
cd "$(dirname "$0")"

./scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target melotrix melotrix-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "There is no display to show the window on. Run it on a virtual one:" >&2
  echo "  xvfb-run -a build/app/melotrix" >&2
  exit 1
fi
exec build/app/melotrix "$@"
