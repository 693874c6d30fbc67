#!/bin/bash
# Wendlow as one desktop application on its own session bus (dbus-run-session): the signals
# a script listens to instead of polling, and a second start that hands its file to the
# running window and ends.
#   dbus_desktop_test.sh WENDLOW_PROGRAM
set -u
program="$1"
dest=io.github.wendlow.wendlow
path=/io/github/wendlow/wendlow/actions
# No print service is reached from here: every service call fails at once.
export CUPS_SERVER=/nonexistent/cups.sock
export SANE_CONFIG_DIR=/nonexistent
source "$(dirname "$0")/../../../../libs/sdk/ui-qt/tests/dbus_test_support.sh"
work=$(mktemp -d)
monitor_log="$work/monitor.txt"
start_program "$program"
trap 'kill "$monitor_pid" "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; rm -rf "$work" "$program_log"' EXIT

# The README's monitor line, kept running for the whole test.
gdbus monitor --session --dest "$dest" >"$monitor_log" 2>&1 &
monitor_pid=$!
sleep 0.5

wait_for() {  # wait_for WHAT FILE NEEDLE
  for _ in $(seq 100); do
    grep -qF -- "$3" "$2" && { echo "ok: $1"; return; }
    sleep 0.1
  done
  fail "$1: <$3> never appeared in $(cat "$2")"
}

expect "a pause is handled" \
  "$(call RunResourceOperation 1 wendlow.operation "'\"pause\\\\u0000Hall_printer\"'")" "('handled', '')"
wait_for "the outcome is announced as a Notice signal" "$monitor_log" \
  "org.vesk.Actions1.Notice ('Could not pause printer', 'Nothing changed. Check the printer connection and try again.', false)"
expect "the device help opens" \
  "$(call RunResourceOperation 2 wendlow.operation "'\"diagnostics\"'")" "('handled', '')"
wait_for "the new resource list is announced" "$monitor_log" \
  "org.vesk.Actions1.ResourcesChanged ('[{"

# A second start with a file: it hands the file over and ends; the first window shows the
# print screen for it.
echo "Packing list" >"$work/Packing list.txt"
(cd "$work" && timeout 20 "$program" "Packing list.txt") || fail "the second start did not end cleanly"
for _ in $(seq 100); do
  listing=$(call ListResources)
  case "$listing" in *'vesk.control:wendlow.print.cancel'*) break ;; esac
  sleep 0.1
done
expect "the running window shows the print screen for the handed-over file" "$listing" \
  'vesk.control:wendlow.print.cancel'
timeout 20 "$program" || fail "a second start without files did not end cleanly"
kill -0 "$program_pid" 2>/dev/null || fail "the first window ended"
expect "the desktop's Activate is answered" \
  "$(timeout 10 gdbus call --session --dest "$dest" --object-path /io/github/wendlow/wendlow \
      --method org.freedesktop.Application.Activate '{}' 2>&1)" "()"
echo "all desktop checks passed"
