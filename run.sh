#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --parallel "$(nproc)" --target quarn-xp
exec build/app/quarn-xp "$@"
