#!/usr/bin/env bash
# Installs the Debian packages of the given groups (build, runtime, test) listed in
# tools/packages.txt that are not installed yet. Runs apt-get as root, through sudo
# otherwise; where neither works it prints the exact command and fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
groups=" $* "
missing=()
while read -r group package; do
  [[ -z "${group}" || "${group}" == \#* ]] && continue
  [[ "${groups}" == *" ${group} "* ]] || continue
  status=$(dpkg-query -W -f='${Status}' "${package}" 2>/dev/null || true)
  [[ "${status}" == "install ok installed" ]] || missing+=("${package}")
done < "${here}/packages.txt"

[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  as_root=(sudo)
elif command -v sudo >/dev/null && [[ -t 0 ]]; then
  as_root=(sudo)
else
  echo "Please run as root:" >&2
  echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
