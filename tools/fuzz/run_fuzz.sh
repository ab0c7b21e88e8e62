#!/bin/sh
# run_fuzz.sh FUZZER SEEDS WORKDIR DICTIONARY SECONDS [LIBFUZZER OPTIONS...]
# Runs a libFuzzer target for a bounded time over a fresh copy of the seeds
# (the run adds to its working corpus, never to the seeds); SEEDS or
# DICTIONARY "-" for none. Any crash, leak, sanitizer report, input slower
# than 10 s or allocation beyond 64 MB fails the run; the input that caused it
# is left in WORKDIR. Options given after SECONDS override the defaults.
# Ends with one line: executions, seconds, corpus files and findings.
set -eu
fuzzer=$1 seeds=$2 work=$3 dict=$4 seconds=$5
shift 5
rm -rf "$work"
mkdir -p "$work/corpus"
if [ "$seeds" != - ]; then cp "$seeds"/* "$work/corpus/"; fi
set -- -max_total_time="$seconds" -max_len=4096 -malloc_limit_mb=64 -rss_limit_mb=1024 -timeout=10 \
  -artifact_prefix="$work/" -print_final_stats=1 "$@"
if [ "$dict" != - ]; then set -- -dict="$dict" "$@"; fi
status=0
"$fuzzer" "$@" "$work/corpus" 2>&1 | tee "$work/log" || status=$?
# tee hides the fuzzer's status in plain sh: read it from the log instead.
grep -q '^Done [0-9]* runs' "$work/log" || status=1
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$work/log")
findings=$(find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'slow-unit-*' \) | wc -l)
echo "fuzz summary: $(basename "$fuzzer"): ${runs:-?} executions in ${time:-?} s," \
  "$(ls "$work/corpus" | wc -l) corpus files, $findings findings"
exit $status
