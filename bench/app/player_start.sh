#!/bin/sh
# The whole player starting with a long last playlist, until it answers: a
# second start blocks until the running player's event loop has answered it.
#   bench/app/player_start.sh [build-dir] [entries] [runs]
set -e
build=$(cd "${1:-build}" && pwd)
entries=${2:-100000}
runs=${3:-5}
folder=$(mktemp -d)
runtime=$(mktemp -d)
trap 'rm -rf "$folder" "$runtime"' EXIT
for item in image.so Skins Plugins Icons; do ln -s "$build/QMB/$item" "$folder/$item"; done
cp "$build/QMB/QMB" "$folder/QMB"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$runtime"
"$build/bench/app/qmb_playlist_window_bench" qpl "$folder/QMB.qpl.model" "$entries" 2>/dev/null
echo "nproc $(nproc), load $(cut -d' ' -f1-3 /proc/loadavg), $entries entries"
for run in $(seq "$runs"); do
  cp "$folder/QMB.qpl.model" "$folder/QMB.qpl"
  rm -f "$runtime/HWT_QMB_5"
  start=$(date +%s%N)
  "$folder/QMB" >/dev/null 2>&1 &
  player=$!
  while [ ! -S "$runtime/HWT_QMB_5" ]; do sleep 0.005; done
  "$folder/QMB" >/dev/null 2>&1
  answered=$(date +%s%N)
  # The player's own CPU until then: on a busy machine the steadier figure.
  ticks=$(awk '{print $14 + $15}' "/proc/$player/stat")
  echo "run $run: answering after $(( (answered - start) / 1000000 )) ms, cpu $(( ticks * 1000 / $(getconf CLK_TCK) )) ms"
  kill -TERM "$player"
  wait "$player" || true
done
