#!/bin/bash
# Wendlow's actions on D-Bus end to end, with the README's own gdbus lines. Runs inside its
# own session bus (dbus-run-session): starts the program on a sample screen, then calls it
# with gdbus from this separate process.
#   dbus_app_test.sh WENDLOW_PROGRAM
set -u
program="$1"
dest=io.github.wendlow.wendlow
path=/io/github/wendlow/wendlow/actions
# No print service is reached from here: a refresh answers with errors at once.
export CUPS_SERVER=/nonexistent/cups.sock
source "$(dirname "$0")/../../../../libs/sdk/ui-qt/tests/dbus_test_support.sh"
start_program "$program" --scenario active

listing=$(call ListResources)
expect "the application resource is listed" "$listing" '"kind":"wendlow.dashboard"'
expect "its refresh action carries its operation text" "$listing" '"payload":"\\"refresh\\""'
expect "the dashboard's controls are listed" "$listing" '"id":"vesk.control:wendlow.print"'

expect "a command with the navigation kind is refused" \
  "$(call RunResourceOperation 2 wendlow.operation "'\"refresh\"'")" \
  "Wendlow operation has the wrong execution kind"
expect "an unknown word is refused" \
  "$(call RunResourceOperation 1 wendlow.operation "'\"reboot\"'")" "unknown Wendlow operation"
expect "a target is needed" \
  "$(call RunResourceOperation 2 wendlow.operation "'\"device\"'")" \
  "Wendlow resource is no longer available"
expect "a payload that is not a JSON string is refused" \
  "$(call RunResourceOperation 1 wendlow.operation "'42'")" "invalid Wendlow operation: "
expect "another operation type is not mine" \
  "$(call RunResourceOperation 1 wendlow.operations "'\"refresh\"'")" "('not-mine', '')"
expect "a control is invoked" "$(call InvokeControl wendlow.queue)" "('handled', '')"
expect "a refresh is handled" \
  "$(call RunResourceOperation 1 wendlow.operation "'\"refresh\"'")" "('handled', '')"

# The refresh answers (with the service unreachable) and the window shows the dashboard
# again, with the service problem banner's retry control.
for _ in $(seq 100); do
  listing=$(call ListResources)
  case "$listing" in *'vesk.control:wendlow.service.retry'*) break ;; esac
  sleep 0.1
done
expect "after the refresh the dashboard offers a retry" "$listing" 'vesk.control:wendlow.service.retry'
expect "the still-running window answers a retry" "$(call InvokeControl wendlow.service.retry)" \
  "('handled', '')"
kill -0 "$program_pid" 2>/dev/null || fail "wendlow ended"
echo "all D-Bus checks passed"
