#!/usr/bin/env bash
# Installs what is missing, builds the debug preset and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-packages.sh build runtime test
cmake --preset debug
cmake --build --preset debug -j2
ctest --preset debug --output-on-failure "$@"
