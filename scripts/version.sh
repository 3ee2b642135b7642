#!/usr/bin/env bash
# version.sh — prints the game's version, written once in CMakeLists.txt's project().
set -euo pipefail
sed -n 's/^project(wenhod VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt"
