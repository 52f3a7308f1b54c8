#!/usr/bin/env bash
# Installs what is missing, builds the tool and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build build/release -j"$(nproc)" --target orbicount-tool meter-sim
exec build/release/src/orbicount-tool "$@"
