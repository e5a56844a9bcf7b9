#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Usage: tools/deps.sh [extra-package ...]
set -euo pipefail

packages=(g++ cmake ninja-build qt6-base-dev libqscintilla2-qt6-dev libgl-dev libgtest-dev libbenchmark-dev fonts-dejavu-core dpkg-dev file appstream "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The language server's client test runs on node with npm's packages; a node already there will do.
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The protocol's client library that test drives the server with, as package-lock.json pins it,
# into node_modules beside it, which git ignores. Without the registry the install gives up
# within minutes and the client test fails saying what is missing.
client="$(dirname "$0")/../tests/bsl/client"
if [ ! -f "$client/node_modules/.package-lock.json" ] || [ "$client/package-lock.json" -nt "$client/node_modules/.package-lock.json" ]; then
  echo "Installing the npm packages of tests/bsl/client"
  (cd "$client" && timeout 180 npm ci --no-audit --no-fund --loglevel=error --fetch-timeout=30000 --fetch-retries=1) ||
    echo "deps.sh: the npm packages of tests/bsl/client could not be installed; its test will fail" >&2
fi
