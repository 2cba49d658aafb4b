#!/usr/bin/env bash
# Builds the project and runs the main job on the embedded default rig.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/bin/orximaq demo "$@"
