#!/bin/bash
# Wendlow's registry from another process: execution kind bytes beyond 1 and 2 reach the
# "wendlow.operation" handler, hostile calls are answered and leave it answering, and
# SIGTERM ends the program through its own shutdown. Runs inside its own session bus.
#   dbus_limits_test.sh WENDLOW_PROGRAM CALLER_PROGRAM
set -u
program="$1"
caller="$2"
dest=io.github.wendlow.wendlow
path=/io/github/wendlow/wendlow/actions
# No print service is reached from here: a refresh answers with errors at once.
export CUPS_SERVER=/nonexistent/cups.sock
source "$(dirname "$0")/../../../../libs/sdk/ui-qt/tests/dbus_test_support.sh"
work=$(mktemp -d)
start_program "$program" --scenario active
trap 'kill "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; rm -rf "$work" "$program_log"' EXIT

expect "kind 3 with another operation type is not mine" \
  "$(call RunResourceOperation 3 wendlow.operations "'\"refresh\"'")" "('not-mine', '')"
expect "kind 3 with a command word has the wrong kind" \
  "$(call RunResourceOperation 3 wendlow.operation "'\"refresh\"'")" \
  "('error', 'Wendlow operation has the wrong execution kind')"
expect "kind 255 with a navigation word has the wrong kind" \
  "$(call RunResourceOperation 255 wendlow.operation "'\"queue\"'")" \
  "('error', 'Wendlow operation has the wrong execution kind')"
expect "kind 0 is not mine" \
  "$(call RunResourceOperation 0 wendlow.operation "'\"refresh\"'")" "('not-mine', '')"

repeat_text $((64 << 20)) a "$work/64mib"
answer=$(big_call RunResourceOperation y:1 s:wendlow.operation "f:$work/64mib")
still_answers "a 64 MiB operation payload"
expect "a 64 MiB operation payload is refused" "$answer" "the payload is too large: 67108864 bytes"
expect "a 64 MiB control id is refused" "$(big_call InvokeControl "f:$work/64mib")" "too large"
still_answers "a 64 MiB control id"

# An invalid literal just under the limit: the parser's message quotes what it read, and
# the registry passes on no more than an excerpt of it.
repeat_text 1000000 a "$work/literal"
answer=$(big_call RunResourceOperation y:1 s:wendlow.operation "f:$work/literal")
expect "an invalid payload is refused" "$answer" "invalid Wendlow operation: "
case "$answer" in *"chars]"*) fail "the error echoed the whole payload: <${answer:0:300}>" ;; esac
still_answers "a 1 MB invalid payload"

repeat_text 1000 '[' "$work/deep"
expect "a 1000-deep payload is refused before parsing" \
  "$(big_call RunResourceOperation y:1 s:wendlow.operation "f:$work/deep")" \
  "the payload nests deeper than 32 levels"
still_answers "a deep payload"

expect "a NUL inside a select payload's id is refused" \
  "$(big_call RunResourceOperation y:1 s:vesk.ui.segmented.select \
      's:{"id": "wendlow.queue\u0000x", "index": 0}')" "a control id holds no NUL character"
still_answers "a NUL inside a select id"

kill -TERM "$program_pid"
for _ in $(seq 100); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "SIGTERM did not end wendlow within 10 s"
wait "$program_pid"
status=$?
[ "$status" = 0 ] || { cat "$program_log" >&2; fail "after SIGTERM the exit status is $status"; }
echo "ok: SIGTERM ends wendlow with exit status 0"
echo "all registry limit checks passed"
