#!/bin/sh
# run_fuzz.sh FUZZER SEEDS WORKDIR DICTIONARY SECONDS
# The BMP reader's fuzzer run: inputs up to 4 kB (see tools/fuzz/run_fuzz.sh).
exec "$(dirname "$0")/../fuzz/run_fuzz.sh" "$@" -max_len=4096
