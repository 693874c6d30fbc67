#!/usr/bin/env bash
# Installs what is missing, builds the release preset and starts Wendlow.
#   ./run.sh                    live, against the printing service of this machine; when
#                               none answers and this user can start one (root), against a
#                               private demo print service that stops with the window
#   ./run.sh --demo             live, always against the private demo print service
#   ./run.sh --scenario NAME    one of the built-in start scenarios (sample data)
# Without a display the window opens under Xvfb; a screenshot is saved, its path
# printed, and the program exits.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-packages.sh build runtime
cmake --preset release
cmake --build --preset release -j2 --target wendlow
app=build/release/apps/wendlow/wendlow
force_demo=()
args=()
for arg in "$@"; do
  if [[ "${arg}" == --demo ]]; then force_demo=(--demo); else args+=("${arg}"); fi
done
set -- ${args[@]+"${args[@]}"}
# The demo print service runs the program inside it (tools/testbed/demo.sh); sample
# scenarios need no print service.
launch=()
if [[ " $* " != *" --scenario "* ]] && tools/testbed/demo.sh needed ${force_demo[@]+"${force_demo[@]}"}; then
  launch=(tools/testbed/demo.sh run)
elif [[ ${#force_demo[@]} -gt 0 ]]; then
  echo "The demo print service cannot be started here." >&2
  exit 1
fi
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec ${launch[@]+"${launch[@]}"} "${app}" "$@"
fi
mkdir -p build/screenshots
name=live
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  [[ "${args[i]}" == --scenario ]] && name="${args[i + 1]:-live}"
done
shot="$(pwd)/build/screenshots/${name}.png"
${launch[@]+"${launch[@]}"} xvfb-run -a -s "-screen 0 1600x1000x24" "${app}" "$@" --screenshot "${shot}"
echo "No display here: Wendlow was started under Xvfb; screenshot saved to ${shot}"
