#!/usr/bin/env bash
# demo.sh - the private print service as a demo default for ./run.sh.
#
#   demo.sh needed [--demo]   exit 0 when the demo should be used: forced with --demo, or no
#                             print service answers and this user can start the demo
#   demo.sh run CMD...        start the demo service (virtual printers, test scanners), run
#                             CMD inside it, stop the service when CMD ends
#
# Starting it needs root: cupsd drops to "lp", and the service gets its own network
# namespace so that nothing on this machine sees it or clashes with it.
set -euo pipefail
PATH=$PATH:/usr/sbin:/sbin
HERE=$(cd "$(dirname "$0")" && pwd)

# Demo programs; tools/packages.txt lists their packages in the "demo" group.
needs=(cupsd ippeveprinter ipptool lpadmin lpstat avahi-daemon avahi-browse dbus-daemon unshare nsenter ip)

service_answers() {
  if command -v lpstat >/dev/null 2>&1; then
    # lpstat -r exits 0 even when it prints "scheduler is not running".
    timeout 5 lpstat -r 2>/dev/null | grep -qx 'scheduler is running'
  else
    [ -S "${CUPS_SERVER:-/run/cups/cups.sock}" ]
  fi
}

can_start() {
  [ "$(id -u)" = 0 ] || { echo "the demo print service needs root" >&2; return 1; }
  local missing=()
  for program in "${needs[@]}"; do
    command -v "$program" >/dev/null 2>&1 || missing+=("$program")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    "$HERE/../install-packages.sh" demo >&2 || { echo "cannot install: ${missing[*]}" >&2; return 1; }
  fi
}

# A display reached over TCP (ssh -X: localhost:10.0) is not reachable from a private
# network namespace; the demo then shares this machine's network instead (no discovery).
tcp_display() {
  local display=${DISPLAY:-}
  [[ "$display" == *:* ]] || return 1
  local host=${display%%:*}
  [ -n "$host" ] && [ "$host" != unix ]
}

case "${1:-}" in
  needed)
    if [ "${2:-}" = --demo ]; then
      can_start
    else
      ! service_answers && can_start 2>/dev/null
    fi ;;
  run)
    shift
    [ $# -gt 0 ] || { sed -n '2,12p' "$0" >&2; exit 2; }
    bed=$(mktemp -d /tmp/wendlow-demo.XXXXXX)
    if tcp_display; then export TB_NETNS=0 TB_REMOTE=0; fi
    stop() {
      "$HERE/testbed.sh" stop "$bed" >/dev/null 2>&1 || true
      rm -rf "$bed"
    }
    trap stop EXIT
    trap 'exit 130' INT TERM
    "$HERE/testbed.sh" start "$bed" 2>"$bed.log" || { cat "$bed.log" >&2; rm -f "$bed.log"; exit 1; }
    rm -f "$bed.log"
    echo "No print service here: Wendlow uses a private demo print service (virtual printers, test scanners) until its window closes."
    status=0
    "$HERE/testbed.sh" run "$bed" "$@" || status=$?
    exit "$status" ;;
  *)
    sed -n '2,12p' "$0" >&2
    exit 2 ;;
esac
