#!/bin/sh
# run_fuzz.sh FUZZER SEEDS WORKDIR DICTIONARY SECONDS
# Runs a libFuzzer target for a bounded time over a fresh copy of the seeds
# (the run adds to its working corpus, never to the seeds). Any crash, leak,
# sanitizer report or allocation beyond 64 MB fails the run; the input that
# caused it is left in WORKDIR.
set -eu
fuzzer=$1 seeds=$2 work=$3 dict=$4 seconds=$5
rm -rf "$work"
mkdir -p "$work/corpus"
cp "$seeds"/* "$work/corpus/"
exec "$fuzzer" -max_total_time="$seconds" -max_len=4096 -malloc_limit_mb=64 -rss_limit_mb=1024 \
  -timeout=10 -dict="$dict" -artifact_prefix="$work/" -print_final_stats=1 "$work/corpus"
