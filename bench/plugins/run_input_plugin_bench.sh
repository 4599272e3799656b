#!/usr/bin/env bash
# The bundled FFmpeg input plug-in against ffmpeg on the same 10-minute FLACs
# (44.1 kHz, and 48 kHz through the resampler): RUNS rounds (default 3) of
# every way, interleaved so that a change of load hits them all alike, then a
# table of the spread. BUILD_DIR (default build-bench) is configured Release.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${BUILD_DIR:-build-bench}
runs=${RUNS:-3}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target qmb_input_plugin_bench >/dev/null
bench="$build/bench/plugins/qmb_input_plugin_bench"
fixtures="$build/fixtures"

echo "nproc: $(nproc); load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for rate in 44100 48000; do
  file="$fixtures/noise_600s_$rate.flac"
  for ((run = 1; run <= runs; ++run)); do
    {
      "$bench" direct "$file" | sed -n "s/^RESULT /$rate /p"
      "$bench" engine "$file" | sed -n "s/^RESULT /$rate /p"
      "$bench" peer ffmpeg-null 600 ffmpeg -nostdin -v error -i "$file" -f null - |
        sed -n "s/^RESULT /$rate /p"
      # The plug-in's own work: decode, resample to 44.1 kHz stereo, 16-bit out.
      "$bench" peer ffmpeg-s16le 600 ffmpeg -nostdin -y -v error -i "$file" \
        -ar 44100 -ac 2 -f s16le /dev/null | sed -n "s/^RESULT /$rate /p"
    } >>"$results"
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

# rate way wall cpu rssKiB speed -> one row per rate and way: min-max of each.
awk -v runs="$runs" '
  function lo(a, b) { return a == "" || b < a ? b : a }
  function hi(a, b) { return a == "" || b > a ? b : a }
  {
    k = $1 " " $2
    if (!(k in n)) order[++rows] = k
    n[k]++
    wmin[k] = lo(wmin[k], $3); wmax[k] = hi(wmax[k], $3)
    cmin[k] = lo(cmin[k], $4); cmax[k] = hi(cmax[k], $4)
    rmax[k] = hi(rmax[k], $5)
    smin[k] = lo(smin[k], $6); smax[k] = hi(smax[k], $6)
  }
  END {
    printf "%-6s %-14s %-15s %-15s %-10s %-15s %s\n", "rate", "way", "wall s", "cpu s",
      "peak MiB", "x real time", "best speed / best ffmpeg-s16le"
    for (i = 1; i <= rows; ++i) {
      k = order[i]; split(k, p, " ")
      ref = smax[p[1] " ffmpeg-s16le"]
      printf "%-6s %-14s %6.3f-%-8.3f %6.3f-%-8.3f %-10.1f %6.0f-%-8.0f %.2f\n", p[1], p[2],
        wmin[k], wmax[k], cmin[k], cmax[k], rmax[k] / 1024, smin[k], smax[k],
        (ref > 0 ? smax[k] / ref : 0)
    }
  }' "$results"
