# Shared by the D-Bus end-to-end scripts (sourced, not run). Before sourcing, set:
#   dest  the bus name the program takes      path  its actions object path
# then `start_program PROGRAM ARGS…` starts it and waits until it owns `dest`.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

start_program() {
  program_log=$(mktemp)
  "$@" 2>"$program_log" &
  program_pid=$!
  trap 'kill "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; rm -f "$program_log"' EXIT
  # Up to 15 s for the program to own its name.
  local owned=0
  for _ in $(seq 150); do
    if gdbus call --session --timeout 2 --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$dest" 2>/dev/null | grep -q true; then
      owned=1
      break
    fi
    kill -0 "$program_pid" 2>/dev/null || { cat "$program_log" >&2; fail "$1 ended early"; }
    sleep 0.1
  done
  [ "$owned" = 1 ] || fail "$1 never took the name $dest"
}

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

# big_call METHOD ARG…: one call through the vesk_dbus_call program (set `caller` to its
# path), for arguments beyond the command line's limit ("f:FILE" sends a file's text).
big_call() {
  local method="$1"
  shift
  timeout 60 "$caller" "$dest" "$path" "$method" "$@" 2>&1
}

# Fails unless the program still answers a small call.
still_answers() {  # still_answers AFTER_WHAT
  local listing
  listing=$(call ListResources)
  case "$listing" in
    "('["*) echo "ok: the registry still answers after $1" ;;
    *) fail "the registry no longer answers after $1: <${listing:0:300}>" ;;
  esac
}

# repeat_text COUNT TEXT FILE: writes TEXT COUNT times, without a newline.
repeat_text() {
  head -c "$1" /dev/zero | tr '\0' "$2" >"$3"
}
