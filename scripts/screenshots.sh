#!/usr/bin/env bash
# Draws the main window (with a stereo test voice made by sox) and every
# dialog into PNG files, at scale 1 and at scale 2 (a screen of device pixel
# ratio 2): scripts/screenshots.sh [FOLDER], default docs/screenshots; the
# scale-2 pictures go to FOLDER/scale-2.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-docs/screenshots}
cmake --build build -j "$(nproc)" --target melotrix-screenshots >/dev/null
voice=$(mktemp --suffix=.wav)
trap 'rm -f "$voice"' EXIT
sox -n -r 22050 -c 2 -b 16 "$voice" synth 1.5 sine 300 sine 450 vol 0.7
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
QT_SCALE_FACTOR=1 build/tools/melotrix-screenshots "$folder" "$voice"
QT_SCALE_FACTOR=2 build/tools/melotrix-screenshots "$folder/scale-2" "$voice"
