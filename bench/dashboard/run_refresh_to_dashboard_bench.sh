#!/usr/bin/env bash
# Runs the refresh-to-dashboard benchmark inside a fresh test bed (its print service), on the
# system's own SANE configuration:
#   bench/dashboard/run_refresh_to_dashboard_bench.sh BUILD/bench/dashboard/refresh_to_dashboard_bench [ARGS]
# Needs root (the test bed does). SANE's network probes then run in the bed's network
# namespace (loopback and mDNS only); run the program by itself for this machine's network.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bench=$(realpath "$1"); shift
bed=$(mktemp -d /tmp/wendlow-bench.XXXXXX)
testbed="$here/../../tools/testbed/testbed.sh"
trap '"$testbed" stop "$bed" >/dev/null 2>&1; rm -rf "$bed"' EXIT
TB_REMOTE=0 "$testbed" start "$bed"
"$testbed" run "$bed" "$bench" "$@"
