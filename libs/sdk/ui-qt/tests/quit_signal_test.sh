#!/bin/bash
# SIGTERM and SIGINT end the program through its own shutdown: exit status 0, and the
# root's destructor has removed the file it created (VESK_TEST_HOST_MARK).
#   quit_signal_test.sh HOST_PROGRAM
set -u
# Job control, so that a background program does not start with SIGINT ignored.
set -m
host_program="$1"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for signal in TERM INT; do
  mark="$work/alive.$signal"
  VESK_TEST_HOST_MARK="$mark" "$host_program" --scenario gallery 2>"$work/log.$signal" &
  pid=$!
  for _ in $(seq 150); do
    [ -e "$mark" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/log.$signal" >&2; fail "the host ended early"; }
    sleep 0.1
  done
  [ -e "$mark" ] || fail "the host never created its mark file"
  # Let the event loop start before the signal comes.
  sleep 0.5
  kill -"$signal" "$pid"
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "SIG$signal did not end the host within 10 s"
  fi
  wait "$pid"
  status=$?
  [ "$status" = 0 ] || { cat "$work/log.$signal" >&2; fail "after SIG$signal the exit status is $status, not 0"; }
  [ -e "$mark" ] && fail "after SIG$signal the root's destructor did not run (mark file left)"
  echo "ok: SIG$signal quits the event loop; exit status 0, cleanup ran"
done
echo "all signal checks passed"
