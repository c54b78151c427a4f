#!/usr/bin/env bash
# Installs what is missing, builds, and plays the bundled data tree.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target game
cd data
exec ../build/default/game
