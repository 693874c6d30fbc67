#!/usr/bin/env bash
# Installs a build into a scratch root and checks what a desktop expects of it: the program
# and the scan helper, a desktop entry and AppStream metadata that validate, the icons and
# the D-Bus service file naming the installed program.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "${root}"' EXIT
DESTDIR="${root}" cmake --install "${build}" --prefix /usr >/dev/null
id=io.github.wendlow.wendlow
fail() { echo "FAIL: $*" >&2; exit 1; }
for f in usr/bin/wendlow usr/libexec/os-printing/os-printing-scan-helper; do
  [[ -x "${root}/${f}" ]] || fail "missing program ${f}"
done
for f in usr/share/applications/${id}.desktop usr/share/metainfo/${id}.metainfo.xml \
         usr/share/dbus-1/services/${id}.service \
         usr/share/icons/hicolor/scalable/apps/${id}.svg \
         usr/share/icons/hicolor/symbolic/apps/${id}-symbolic.svg; do
  [[ -f "${root}/${f}" ]] || fail "missing ${f}"
done
desktop-file-validate "${root}/usr/share/applications/${id}.desktop" || fail "desktop entry"
appstreamcli validate --no-net "${root}/usr/share/metainfo/${id}.metainfo.xml" || fail "metainfo"
grep -qx 'Exec=wendlow %F' "${root}/usr/share/applications/${id}.desktop" ||
  fail "the desktop entry does not start the program with its files"
grep -qx 'Exec=/usr/bin/wendlow' "${root}/usr/share/dbus-1/services/${id}.service" ||
  fail "the D-Bus service does not start the installed program"
grep -qx "Name=${id}" "${root}/usr/share/dbus-1/services/${id}.service" || fail "service name"
echo "installed layout OK"
