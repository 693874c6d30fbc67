#!/bin/bash
# The action registry against hostile calls: huge arguments, deep JSON, a NUL inside an id,
# a flood. Runs inside its own session bus (dbus-run-session); after every call the
# registry must still answer.
#   dbus_hostile_test.sh HOST_PROGRAM CALLER_PROGRAM
set -u
host_program="$1"
caller="$2"
dest=io.github.vesk.TestHost
path=/io/github/vesk/TestHost/actions
source "$(dirname "$0")/dbus_test_support.sh"
work=$(mktemp -d)
start_program "$host_program" --scenario gallery
trap 'kill "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; rm -rf "$work" "$program_log"' EXIT

repeat_text $((64 << 20)) a "$work/64mib"
repeat_text $((35 << 20)) a "$work/35mib"
repeat_text 1000000 a "$work/1mb-id"
repeat_text 5000000 '[' "$work/5m-deep"
repeat_text 1000 '[' "$work/1000-deep"

# Whether the registry still answers matters most: checked before the answer itself.
answer=$(big_call InvokeControl "f:$work/64mib")
still_answers "a 64 MiB control id"
expect "a 64 MiB control id is refused" "$answer" \
  "the control id is too large: 67108864 bytes, at most 1048576"
expect "a 64 MiB payload is refused" \
  "$(big_call RunResourceOperation y:1 s:test.ping "f:$work/64mib")" "the payload is too large"
still_answers "a 64 MiB payload"
expect "a 64 MiB operation type is refused" \
  "$(big_call RunResourceOperation y:1 "f:$work/64mib" s:x)" "the operation type is too large"
expect "a 64 MiB select id is refused" "$(big_call SelectSegment "f:$work/64mib" i:0)" "too large"
still_answers "a 64 MiB select id"

big_call InvokeControl "f:$work/35mib" >"$work/first" &
big_call InvokeControl "f:$work/35mib" >"$work/second"
wait $!
expect "the first of two 35 MiB calls is refused" "$(cat "$work/first")" "too large"
expect "the second of two 35 MiB calls is refused" "$(cat "$work/second")" "too large"
still_answers "two 35 MiB calls back to back"

answer=$(big_call InvokeControl "f:$work/1mb-id")
expect "an unknown 1 MB id is named by an excerpt" "$answer" "no control with id aaaaaaaa"
case "$answer" in *"chars]"*) fail "the error echoed the whole id: <${answer:0:300}>" ;; esac
still_answers "a 1 MB id"

expect "a 5,000,000-deep payload is refused by its size" \
  "$(big_call RunResourceOperation y:1 s:test.ping "f:$work/5m-deep")" "the payload is too large"
expect "a 1000-deep payload is refused before parsing" \
  "$(big_call RunResourceOperation y:1 s:test.ping "f:$work/1000-deep")" \
  "the payload nests deeper than 32 levels"
expect "the refused payload never reached the program" "$(call ListResources)" 'ping: , kind: -1'
still_answers "deep payloads"

expect "a NUL inside a select payload's id is refused, not cut" \
  "$(big_call RunResourceOperation y:1 s:vesk.ui.segmented.select \
      's:{"id": "gallery.mode.select\u0000junk", "index": 0}')" \
  'a control id holds no NUL character: gallery.mode.select\0junk'
expect "the segment was left alone" "$(call ListResources)" 'mode: 1'

# A flood of calls just under the limit: every one is answered, handled or refused as busy.
repeat_text 1000000 b "$work/1mb-payload"
flood=()
for n in $(seq 80); do
  big_call RunResourceOperation y:1 s:test.fail "f:$work/1mb-payload" >"$work/flood.$n" &
  flood+=($!)
done
wait "${flood[@]}"
for n in $(seq 80); do
  case "$(cat "$work/flood.$n")" in
    *"the test root refuses"* | *"too many calls are waiting"*) ;;
    *) fail "flood call $n: <$(head -c 300 "$work/flood.$n")>" ;;
  esac
done
echo "ok: 80 calls of 1 MB at once were all answered"
still_answers "a flood of 1 MB calls"

kill -0 "$program_pid" 2>/dev/null || fail "the host died during the calls"
# A clean shutdown after all that (in sanitizer builds: no report either).
kill -TERM "$program_pid"
timeout 20 tail --pid="$program_pid" -f /dev/null || fail "the host did not end after SIGTERM"
wait "$program_pid"
status=$?
[ "$status" = 0 ] || { cat "$program_log" >&2; fail "the host ended with status $status"; }
echo "ok: the host shuts down cleanly"
echo "all hostile D-Bus checks passed"
