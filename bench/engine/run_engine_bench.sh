#!/usr/bin/env bash
# Runs the engine's benchmarks with their peers. mpv and mpg123 are installed
# here, for benchmark runs only; the build and the tests never need them.
set -euo pipefail
cd "$(dirname "$0")/../.."

peers=()
for p in mpv mpg123; do
  command -v "$p" >/dev/null || peers+=("$p")
done
if [ ${#peers[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${peers[@]}"
fi

build=${BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMB_BUILD_UI=OFF >/dev/null
cmake --build "$build" -j 2 --target qmb_engine_bench qmb_bench_fixture_files
bench="$build/bench/engine/qmb_engine_bench"

echo "nproc: $(nproc)"
"$bench" chain
"$bench" chain "" 48000
"$bench" realtime
"$bench" idle 10
