#!/usr/bin/env bash
# Builds a test bed with 50 queues and 5,000 retained jobs and runs the refresh benchmark
# inside it:   bench/printing/run_refresh_bench.sh BUILD/bench/printing/printing_refresh_bench [ARGS]
# Needs root (the test bed does).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bench=$(realpath "$1"); shift
bed=$(mktemp -d /tmp/wendlow-bench.XXXXXX)
testbed="$here/../../tools/testbed/testbed.sh"
trap '"$testbed" stop "$bed" >/dev/null 2>&1; rm -rf "$bed"' EXIT
TB_MAX_JOBS=0 TB_REMOTE=0 "$testbed" start "$bed"
# 47 more queues, each with its own device URI, so that every queue's printer is asked.
"$testbed" run "$bed" sh -ec '
  for n in $(seq 10 56); do
    lpadmin -p "Bench_$n" -E -v "ipp://localhost:8632/ipp/print?contimeout=$n" \
            -P "$TB_DIR/etc/ppd/Test_printer.ppd" 2>/dev/null
  done'
"$testbed" run "$bed" "$bench" --populate "${BENCH_JOBS:-5000}"
"$testbed" run "$bed" "$bench" "$@"
