#!/usr/bin/env bash
# Installs what is missing, builds the release preset and starts Wendlow.
#   ./run.sh                    live, against the printing service of this machine
#   ./run.sh --scenario NAME    one of the built-in start scenarios (sample data)
# Without a display the window opens under Xvfb; a screenshot is saved, its path
# printed, and the program exits.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-packages.sh build runtime
cmake --preset release
cmake --build --preset release -j2 --target wendlow
app=build/release/apps/wendlow/wendlow
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec "${app}" "$@"
fi
mkdir -p build/screenshots
name=live
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  [[ "${args[i]}" == --scenario ]] && name="${args[i + 1]:-live}"
done
shot="$(pwd)/build/screenshots/${name}.png"
xvfb-run -a -s "-screen 0 1600x1000x24" "${app}" "$@" --screenshot "${shot}"
echo "No display here: Wendlow was started under Xvfb; screenshot saved to ${shot}"
