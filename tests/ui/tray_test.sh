#!/bin/sh
# The started player's tray icon joins a tray that appears after it started,
# and joins again when that tray restarts. Run under xvfb-run:
#   tray_test.sh <program folder>
set -u
program=$1
work=$(mktemp -d)
player=""
tray=""
cleanup() {
  [ -n "$tray" ] && kill "$tray" 2>/dev/null
  [ -n "$player" ] && kill -9 "$player" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $1"
  xwininfo -root -tree | head -40
  exit 1
}

# Polls `$1` until it succeeds or 30 seconds have passed.
wait_for() {
  tries=0
  until eval "$1"; do
    tries=$((tries + 1))
    [ "$tries" -ge 150 ] && return 1
    sleep 0.2
  done
}

# A window of the player inside the tray's panel.
embedded() {
  xwininfo -root -tree | awk '
    /\("panel" "trayer"\)/ { match($0, /^ */); depth = RLENGTH; inside = 1; next }
    inside { match($0, /^ */); if (RLENGTH <= depth) inside = 0; else if (/"Qumble Player"/) found = 1 }
    END { exit found ? 0 : 1 }'
}
started() { xwininfo -root -tree | grep -q '("QMB" "Qumble Player")'; }
no_tray() { ! xwininfo -root -tree | grep -q '("panel" "trayer")'; }

mkdir -p "$work/QMB" "$work/run"
chmod 700 "$work/run"
for name in QMB image.so Skins Icons Splash; do cp -r "$program/$name" "$work/QMB/"; done
# The test runs with the offscreen platform; this player needs the display.
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy "$work/QMB/QMB" >"$work/player.log" 2>&1 &
player=$!

wait_for started || fail "the player did not start"
embedded && fail "an icon without a tray"

trayer --edge top >/dev/null 2>&1 &
tray=$!
wait_for embedded || fail "the icon did not join the tray that appeared"

kill "$tray"
wait "$tray" 2>/dev/null
tray=""
wait_for no_tray || fail "the tray did not go"
trayer --edge top >/dev/null 2>&1 &
tray=$!
wait_for embedded || fail "the icon did not join the restarted tray"
kill -0 "$player" || fail "the player ended"
echo "PASS"
