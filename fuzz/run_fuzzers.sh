#!/usr/bin/env bash
# Builds the reader harnesses with clang and libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a while on its corpus.
# Usage: fuzz/run_fuzzers.sh [seconds per reader, default 60]
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DQMB_BUILD_UI=OFF -DQMB_BUILD_BENCH=OFF -DQMB_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
for reader in qpl pls m3u m3u8 qsp xspf profile; do
  cmake --build "$build" --target "qmb_fuzz_${reader}_reader" -j2 >/dev/null
  work="$build/fuzz-corpus/$reader"
  mkdir -p "$work"
  cp -n "$root/fuzz/corpus/$reader/"* "$work/" 2>/dev/null || true
  echo "== $reader: ${seconds}s"
  "$build/fuzz/qmb_fuzz_${reader}_reader" -max_total_time="$seconds" -max_len=8192 \
    -print_final_stats=1 "$work" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==|SUMMARY)|Done' || true
done
