#!/usr/bin/env bash
# CPU seconds of the whole player (start-up, logic, engine, and the skin and
# the visualization painted at the default 30 ms to an X server) playing a
# 60-second MP3 on the null output, against mpv playing the same file in real
# time on its null output, in one run.
# usage: bench/playback/player_cpu.sh [build-dir]
set -euo pipefail
# The player paints to an X server: Xvfb when there is no display.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null && [ -z "${QMB_UNDER_XVFB:-}" ]; then
  QMB_UNDER_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
build=${1:-build}
file=$build/fixtures/noise_60s.mp3
[ -e "$file" ] || cmake --build "$build" --target qmb_bench_fixture_files >/dev/null
if ! command -v mpv >/dev/null; then
  echo "installing mpv for the comparison"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends mpv >/dev/null
fi

folder=$(mktemp -d)
runtime=$(mktemp -d)
trap 'rm -rf "$folder" "$runtime"' EXIT
# The whole program folder: without its icons the tray's error box would
# stop start-up before anything plays.
cp -r "$build/QMB/." "$folder/"
platform=offscreen
[ -n "${DISPLAY:-}" ] && platform=xcb
export XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=$platform SDL_AUDIODRIVER=dummy

cpu_of() {  # utime + stime of a pid, in seconds
  awk -v hz="$(getconf CLK_TCK)" '{print ($14 + $15) / hz}' "/proc/$1/stat"
}

# Settings with the null output ("No Sound", index 0 at offset 664).
"$folder/QMB" & pid=$!
sleep 2; kill -TERM $pid; wait $pid
printf '\x00\x00\x00\x00' | dd of="$folder/qmb.dat" bs=1 seek=664 conv=notrunc status=none

"$folder/QMB" "$(realpath "$file")" & pid=$!
sleep 60
player=$(cpu_of $pid)
kill -TERM $pid; wait $pid

mpv_cpu=$( { /usr/bin/time -f "%U %S" mpv --really-quiet --no-video --ao=null "$file" >/dev/null; } 2>&1 \
  | awk '{print $1 + $2}')

echo "nproc: $(nproc), Qt platform: $platform"
echo "60 s MP3 in real time: player ${player} s CPU, mpv ${mpv_cpu} s CPU"
awk -v a="$player" -v b="$mpv_cpu" 'BEGIN { if (b > 0) printf "player / mpv: %.2f\n", a / b }'
