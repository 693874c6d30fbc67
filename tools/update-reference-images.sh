#!/usr/bin/env bash
# Renders every start scenario, light and dark, and stores the pictures as the references
# the screenshot test compares with (apps/wendlow/tests/qt/reference/). Run it after an
# intended change of a screen, look at the new pictures, and commit them with the change.
#   tools/update-reference-images.sh [BUILD_DIR]     (default: build/debug)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/debug}
cmake --build "${build}" -j2 --target wendlow wendlow_qt_test
mkdir -p apps/wendlow/tests/qt/reference
WENDLOW_UPDATE_REFERENCES=1 QT_QPA_PLATFORM=offscreen \
  "${build}/apps/wendlow/wendlow_qt_test" --gtest_filter='Scenarios/Screenshot.*'
git status --short apps/wendlow/tests/qt/reference
