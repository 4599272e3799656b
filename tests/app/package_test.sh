#!/bin/sh
# The Debian package: made with cpack from the build, unpacked into a
# scratch root, and started from its read-only program folder by a user
# who is not root. What that user changes is kept in their config folder
# and is there again at the next start.
#   package_test.sh <build folder>
set -eu
build=$1
work=$(mktemp -d)
player=""
cleanup() {
  [ -n "$player" ] && kill -9 "$player" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $1"
  [ -f "$work/home/player.log" ] && cat "$work/home/player.log"
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/qumble-player_*.deb)
dpkg-deb --info "$deb" | grep -q "Depends: .*libqt6" || fail "no Qt dependency in the control file"
mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
program="$work/root/usr/lib/qumble-player"
for file in QMB image.so Icons/tray-200.png Splash; do
  [ -e "$program/$file" ] || fail "the package lacks $file"
done
[ -L "$work/root/usr/bin/qumble-player" ] || fail "no command in /usr/bin"
[ -f "$work/root/usr/share/icons/hicolor/48x48/apps/qumble-player.png" ] || fail "no icon"
entry="$work/root/usr/share/applications/qumble-player.desktop"
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
grep -qx "Exec=/usr/lib/qumble-player/QMB %f" "$entry" || fail "the entry does not start /usr/lib/qumble-player/QMB"

# Installed as a system package is: owned by root, read-only for users.
chmod -R a-w "$program"
chmod 755 "$work" "$work/root"
mkdir -p "$work/home/run"
chmod 700 "$work/home/run"
as_user=""
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$work/home"
  as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi

# Starts the player as that user with `$1` on its command line (in a clean
# environment but for the sanitizers' options), waits until
# it listens, ends it as the desktop would (SIGTERM saves), and answers its
# exit code.
run() {
  env -i HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/home/run" \
    QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy PATH=/usr/bin:/bin \
    ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} ${LSAN_OPTIONS:+LSAN_OPTIONS=$LSAN_OPTIONS} \
    ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} \
    $as_user "$program/QMB" "$@" >"$work/home/player.log" 2>&1 &
  player=$!
  tries=0
  until [ -S "$work/home/run/HWT_QMB_5" ]; do
    tries=$((tries + 1))
    [ "$tries" -ge 300 ] && fail "the player did not start"
    kill -0 "$player" 2>/dev/null || fail "the player ended at start"
    sleep 0.1
  done
  kill -TERM "$player"
  code=0
  wait "$player" || code=$?
  player=""
  return "$code"
}

sample=$(ls "$program"/Samples/*.ogg 2>/dev/null | head -n 1 || true)
[ -n "$sample" ] || sample="$program/Skins/Default/main.bmp"
run "$sample" || fail "the first run ended with code $?"
kept="$work/home/config/qumble-player"
[ "$(stat -c %s "$kept/qmb.dat")" -eq 704 ] || fail "no settings in $kept"
grep -q "$(basename "$sample")" "$kept/QMB.qpl" || fail "the playlist was not kept"
[ ! -e "$program/qmb.dat" ] || fail "the program folder was written"

# The user's change: the volume, as the settings file keeps it (offset 568).
printf '\000\000\110\102' | dd of="$kept/qmb.dat" bs=1 seek=568 conv=notrunc 2>/dev/null
run || fail "the second run ended with code $?"
volume=$(od -An -tx1 -j568 -N4 "$kept/qmb.dat" | tr -d ' ')
[ "$volume" = "00004842" ] || fail "the volume came back as $volume"
grep -q "$(basename "$sample")" "$kept/QMB.qpl" || fail "the playlist did not come back"
echo "PASS"
