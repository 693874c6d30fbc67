#!/bin/bash
# The screenshot option end to end: the settled window saved as PNG of exactly the size
# the program asked for, in both scenarios of the test host.
#   screenshot_test.sh HOST_PROGRAM
set -u
host_program="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen

png_size() {  # width x height from the PNG header
  python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); assert d[:8]==b"\x89PNG\r\n\x1a\n"; print("%dx%d" % struct.unpack(">II", d[16:24]))' "$1"
}

check() {  # check SCENARIO EXPECTED_SIZE [EXTRA_OPTION]
  local file="$out/$1.png"
  timeout 30 "$host_program" --scenario "$1" --screenshot "$file" ${3:-} 2>"$out/log" || {
    cat "$out/log" >&2
    echo "FAIL: $1 exited with an error" >&2
    exit 1
  }
  local size
  size=$(png_size "$file") || { echo "FAIL: $1 wrote no PNG" >&2; exit 1; }
  [ "$size" = "$2" ] || { echo "FAIL: $1 is $size, not $2" >&2; exit 1; }
  echo "ok: $1 $size"
}

check gallery 1280x800
check narrow 520x820 --dark
# A file that cannot be written is an error, not a silent success.
if timeout 30 "$host_program" --scenario gallery --screenshot /nonexistent/dir/shot.png 2>/dev/null; then
  echo "FAIL: an unwritable screenshot reported success" >&2
  exit 1
fi
echo "ok: an unwritable screenshot fails"
