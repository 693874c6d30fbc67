#!/bin/bash
# Wendlow's actions on D-Bus end to end, with the README's own gdbus lines. Runs inside its
# own session bus (dbus-run-session): starts the program on a sample screen, then calls it
# with gdbus from this separate process.
#   dbus_app_test.sh WENDLOW_PROGRAM
set -u
program="$1"
dest=io.github.wendlow.wendlow
path=/io/github/wendlow/wendlow/actions
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# No print service is reached from here: a refresh answers with errors at once.
export CUPS_SERVER=/nonexistent/cups.sock

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

log=$(mktemp)
"$program" --scenario active 2>"$log" &
app=$!
trap 'kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; rm -f "$log"' EXIT

for _ in $(seq 150); do
  if gdbus call --session --timeout 2 --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
      --method org.freedesktop.DBus.NameHasOwner "$dest" 2>/dev/null | grep -q true; then
    owned=1
    break
  fi
  kill -0 "$app" 2>/dev/null || { cat "$log" >&2; fail "wendlow ended early"; }
  sleep 0.1
done
[ "${owned:-0}" = 1 ] || fail "wendlow never took the name $dest"

call() {
  local method="$1"
  shift
  timeout 10 gdbus call --session --timeout 5 --dest "$dest" --object-path "$path" \
    --method "org.vesk.Actions1.$method" "$@" 2>&1
}

expect() {  # expect WHAT TEXT NEEDLE
  case "$2" in
    *"$3"*) echo "ok: $1" ;;
    *) fail "$1: expected to find <$3> in <$2>" ;;
  esac
}

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
kill -0 "$app" 2>/dev/null || fail "wendlow ended"
echo "all D-Bus checks passed"
