#!/usr/bin/env bash
# Builds the reader harnesses with clang and libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs them one after the other, niced, on
# a copy of their corpus. A crash leaves its input in build-fuzz/findings/.
# Usage: fuzz/run_fuzzers.sh [runs per reader, default 1000000] [reader...]
set -euo pipefail
runs=${1:-1000000}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
all="qpl pls m3u m3u8 qsp xspf profile region skin_ini settings type_list handoff midi cue tag_record eq_preset update_info"
readers=${*:-$all}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DQMB_BUILD_UI=OFF -DQMB_BUILD_BENCH=OFF -DQMB_FUZZ=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" "${launcher[@]}" >/dev/null
mkdir -p "$build/findings"
for reader in $readers; do
  cmake --build "$build" --target "qmb_fuzz_${reader}_reader" -j2 >/dev/null
  work="$build/fuzz-corpus/$reader"
  mkdir -p "$work"
  cp -n "$root/fuzz/corpus/$reader/"* "$work/" 2>/dev/null || true
  case $reader in
    settings) max_len=10000 ;;
    *) max_len=8192 ;;
  esac
  supp=
  if [ "$reader" = cue ]; then supp="suppressions=$root/fuzz/lsan.supp"; fi
  echo "== $reader: $runs runs"
  start=$(date +%s)
  # The harnesses' files go to memory: saves fsync, which a disk makes slow.
  TMPDIR=/dev/shm LSAN_OPTIONS="$supp" nice -n 10 "$build/fuzz/qmb_fuzz_${reader}_reader" -runs="$runs" -max_len=$max_len \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/$reader-" \
    "$work" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==|SUMMARY)|Done|ERROR' || true
  echo "   $(( $(date +%s) - start )) s"
done
