#!/usr/bin/env bash
# Makes docs/images/octave-preview.png: the preview window's test takes a
# screenshot of the window on a virtual display (after a default build).
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs/images
ORX_PREVIEW_SCREENSHOT="$PWD/docs/images/octave-preview.png" \
    ctest --preset default -R '^octave\.preview_window$' --output-on-failure
echo "wrote docs/images/octave-preview.png"
