#!/bin/sh
# run_fuzz.sh FUZZER WORKDIR SECONDS
# The pen stream fuzzer's run (tests/app/pen_stream_fuzz.cpp), from an empty
# corpus: inputs up to 512 bytes, up to a hundred events or so each (see
# tools/fuzz/run_fuzz.sh). The test command runs it for a minute; for a
# longer run, from the root of the tree after scripts/test (or a build of
# build/sanitize with -DINKSTONE_FUZZ=ON):
#   tools/pen/run_fuzz.sh build/sanitize/tests/app/pen_stream_fuzz_soft build/fuzz-pen 3600
exec "$(dirname "$0")/../fuzz/run_fuzz.sh" "$1" - "$2" - "$3" -max_len=512
