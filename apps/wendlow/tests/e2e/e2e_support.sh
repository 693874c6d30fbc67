# Shared by the end-to-end scripts (sourced, not run): Wendlow in a real X window (Xvfb) on
# its own session bus, inside the test bed, driven only from outside: the action registry
# through gdbus, real key presses through xdotool for the file dialogs, and the print
# service's own tools to read back what happened.
#
#   e2e_begin PROGRAM ARGS…   starts Xvfb and the program, and a `gdbus monitor` log
#   notices_from_now          later `wait_notice` calls see only what follows
export QT_QPA_PLATFORM=xcb
# No desktop theme: Qt's own file dialog, which xdotool can type into.
export QT_QPA_PLATFORMTHEME=
dest=io.github.wendlow.wendlow
path=/io/github/wendlow/wendlow/actions
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../../../libs/sdk/ui-qt/tests/dbus_test_support.sh"
[ -n "${TB_DIR:-}" ] || fail "run inside the test bed (testbed.sh run DIR …)"

work=$(mktemp -d)
cleanup_steps=()
e2e_end() {
  local step
  for step in "${cleanup_steps[@]}"; do eval "$step" || true; done
  kill "${monitor_pid:-}" "${program_pid:-}" 2>/dev/null
  wait "${program_pid:-}" 2>/dev/null
  kill "${xvfb_pid:-}" 2>/dev/null
  rm -rf "$work" "${program_log:-}"
}

e2e_begin() {
  # Xvfb picks a free display and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -1 "$work/display")"
  start_program "$@"
  trap 'e2e_end' EXIT
  gdbus monitor --session --dest "$dest" >"$work/monitor.txt" 2>&1 &
  monitor_pid=$!
  notices_from=0
  sleep 0.3
}

notices_from_now() {
  notices_from=$(wc -l <"$work/monitor.txt")
}

# until_true SECONDS COMMAND…: runs COMMAND every 0.1 s until it succeeds; fails after SECONDS.
until_true() {
  local deadline=$((SECONDS + $1))
  shift
  while [ "$SECONDS" -lt "$deadline" ]; do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

notices() {
  tail -n +"$((notices_from + 1))" "$work/monitor.txt" | grep "org.vesk.Actions1.Notice"
}

# wait_notice WHAT NEEDLE [SECONDS]: a Notice signal holding NEEDLE arrives.
wait_notice() {
  has_notice() { notices | grep -qF -- "$1"; }
  until_true "${3:-30}" has_notice "$2" || fail "$1: no Notice with <$2>; signals: $(notices)"
  echo "ok: $1"
}

# wait_listing WHAT NEEDLE [SECONDS]: the published list comes to hold NEEDLE.
wait_listing() {
  local listing=
  lists() {
    listing=$(call ListResources)
    [[ "$listing" == *"$1"* ]]
  }
  until_true "${3:-30}" lists "$2" || fail "$1: <$2> never appeared in <${listing:0:2000}>"
  echo "ok: $1"
}

# resource_field RESOURCE_ID FIELD: one field of a published resource ("" when not listed).
resource_field() {
  call ListResources | python3 "$here/listing.py" field "$1" "$2"
}

# wait_state WHAT RESOURCE_ID STATE [SECONDS]: the resource's plain-language state.
wait_state() {
  local state=
  in_state() {
    state=$(resource_field "$1" state)
    [ "$state" = "$2" ]
  }
  until_true "${4:-30}" in_state "$2" "$3" || fail "$1: the state of $2 is <$state>, not <$3>"
  echo "ok: $1"
}

# choose WHAT CONTROL OPTION_PREFIX: selects the first option of a choice list whose label
# starts with OPTION_PREFIX, by the index the list publishes.
choose() {
  local index
  index=$(call ListResources | python3 "$here/listing.py" choice "$2" "$3")
  [ -n "$index" ] || fail "$1: no option <$3> in $2"
  expect "$1" "$(call SelectSegment "$2" "$index")" "('handled', '')"
}

press() {  # press CONTROL_ID: one press, which must be handled
  expect "press $1" "$(call InvokeControl "$1")" "('handled', '')"
}

# answer_dialog TITLE FILE: types FILE into the file dialog titled TITLE and presses Enter,
# as a person would.
answer_dialog() {
  local window=
  dialog_shown() {
    window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$window" ]
  }
  dialog_gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
  until_true 15 dialog_shown "$1" || fail "no dialog titled <$1> appeared"
  sleep 0.3 # the dialog lays itself out and fills its file list
  xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --clearmodifiers --delay 4 -- "$2"
  xdotool key --clearmodifiers Return
  until_true 10 dialog_gone "$1" || fail "the dialog <$1> stayed open after Enter"
  echo "ok: typed $2 into <$1>"
}

# jobs PRINTER: the scheduler's own record of every job of the queue, one CSV line each:
# job-id,job-name,copies,sides,job-state (pending, processing, canceled, completed…)
jobs() {
  ipptool -c "ipp://$TB_CUPS_TCP/printers/$1" "$here/jobs.test"
}

# operation KIND WORD [TARGET]: runs a Wendlow operation as a published action carries it,
# "word" or "word\u0000target" as JSON text.
operation() {
  local text="\"$2"
  [ $# -gt 2 ] && text+="\\\\u0000$3"
  call RunResourceOperation "$1" wendlow.operation "'$text\"'"
}
