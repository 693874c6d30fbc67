#!/bin/bash
# The action registry end to end. Runs inside its own session bus (dbus-run-session):
# starts the test host, then calls it with gdbus from this separate process.
#   dbus_registry_test.sh HOST_PROGRAM
set -u
host_program="$1"
dest=io.github.vesk.TestHost
path=/io/github/vesk/TestHost/actions
source "$(dirname "$0")/dbus_test_support.sh"
start_program "$host_program" --scenario gallery

listing=$(call ListResources)
expect "list names the root resource" "$listing" '"id":"test.root"'
expect "list carries the root's action" "$listing" '"operation_type":"test.ping"'
expect "list names a button control" "$listing" '"id":"vesk.control:gallery.print"'
expect "list gives the invoke operation" "$listing" '"operation_type":"vesk.ui.control.invoke"'
expect "list names the segmented control" "$listing" '"kind":"vesk.control.segmented"'
expect "list gives the index parameter" "$listing" '"description":"Zero-based segment index"'
expect "list shows the start state" "$listing" 'presses: 0, mode: 1'

expect "a resource operation is handled" "$(call RunResourceOperation 1 test.ping '{"n":7}')" "('handled', '')"
expect "the operation reached the root" "$(call ListResources)" 'ping: {\\"n\\":7}'
expect "an operation's error comes back" "$(call RunResourceOperation 1 test.fail '')" "('error', 'the test root refuses')"
expect "an unknown operation is not mine" "$(call RunResourceOperation 2 nobody.knows '')" "('not-mine', '')"
expect "an execution kind beyond the named ones is passed on" \
  "$(call RunResourceOperation 9 test.ping '')" "('handled', '')"
expect "the handler saw the kind byte as sent" "$(call ListResources)" 'kind: 9'

expect "a segment is selected" "$(call SelectSegment gallery.mode.select 2)" "('handled', '')"
expect "the selection reached the state" "$(call ListResources)" 'mode: 2'
expect "a segment out of range is refused" "$(call SelectSegment gallery.mode 7)" "out of range"

expect "a control is invoked" "$(call InvokeControl vesk.control:gallery.print)" "('handled', '')"
expect "the press reached the program" "$(call ListResources)" 'presses: 1'
expect "an unknown control is an error" "$(call InvokeControl no.such.control)" "no control with id no.such.control"
expect "the invoke operation runs a control" \
  "$(call RunResourceOperation 1 vesk.ui.control.invoke gallery.print)" "('handled', '')"
expect "the second press reached the program" "$(call ListResources)" 'presses: 2'

kill -0 "$program_pid" 2>/dev/null || fail "the host died during the calls"
echo "all D-Bus checks passed"
