#!/usr/bin/env bash
# Varo as the screensaver: the real XScreenSaver daemon, with a scratch home whose settings list
# only Varo, starts it on activation in the window it made; the board and the stars show, the
# start message does not (no keys reach a screensaver), and on deactivation Varo is gone within
# two seconds. The daemon does not start programs as root: it and its commands run as nobody,
# so the program and its pictures are copied where that user can read them. A library preloaded
# into the daemon's programs stops Varo after its first frame, where the stars show at full
# brightness before the board has faded in.     screensaver.sh STOP_AFTER_FIRST_FRAME_LIBRARY
source "$(dirname "$0")/lib.sh"
need xscreensaver xscreensaver && need setpriv util-linux

readonly NOBODY=65534
scratch=$(mktemp -d) && chmod 755 "$scratch"
mkdir -p "$scratch/bin" "$scratch/share/varo" "$scratch/home"
cp "$E2E_VARO" "$scratch/bin/varo" && cp "$E2E_DATA"/*.bmp "$scratch/share/varo/"
cp "$1" "$scratch/stop.so"
chmod -R a+rX "$scratch"
cat >"$scratch/home/.xscreensaver" <<SETTINGS
mode: one
selected: 0
lock: False
fade: False
unfade: False
splash: False
programs: \\
  GL: $scratch/bin/varo --root \\n\\

SETTINGS
chown -R "$NOBODY:$NOBODY" "$scratch/home"
as_nobody() {
    setpriv --reuid=$NOBODY --regid=$NOBODY --clear-groups \
        env HOME="$scratch/home" DISPLAY="$DISPLAY" ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$@"
}
LD_PRELOAD=$scratch/stop.so as_nobody xscreensaver -no-splash -verbose >"$E2E_OUT/daemon.log" 2>&1 &
daemon=$!
trap '{ kill -CONT "$VARO_PID" || true; kill $daemon && wait $daemon || true; } 2>/dev/null; rm -rf "$scratch"' EXIT
VARO_PID=$daemon  # while waiting: fail at once if the daemon ends
await "the daemon's answer" as_nobody xscreensaver-command -time

as_nobody xscreensaver-command -activate >/dev/null
running() { hack=$(pgrep -f "^$scratch/bin/varo --root") && [ -n "$hack" ]; }
await "Varo started by the daemon" running
VARO_PID=$hack VARO_STARTED=$EPOCHREALTIME
await "a stop after the first frame" grep -q '^State:.T' "/proc/$VARO_PID/status"
SHOT=$(shot first-frame)
check "stars" "$(convert "$SHOT" -colorspace gray -threshold 50% -format '%[fx:mean]' info:)" '>' 0.001
check "no start message" "$(texty "$SHOT" "$MESSAGE")" '<' 0.01
kill -CONT "$VARO_PID" && await_fade_in
board() { check "board drawn (back plate level)" "$(plate_level "$SHOT" "$BELOW_TITLE")" '>' 0; }
expect_soon board board

sent=$EPOCHREALTIME
as_nobody xscreensaver-command -deactivate >/dev/null
gone() { ! grep -qs $'^State:\t[^Z]' "/proc/$VARO_PID/status"; }  # ended, or unreaped
until gone || [ "$(seconds_since "$sent" | cut -d. -f1)" -ge 5 ]; do sleep 0.05; done
check "seconds from deactivation until Varo is gone" "$(seconds_since "$sent")" '<' 2
VARO_PID=""
! grep -q 'varo:' "$E2E_OUT/daemon.log" || fail "Varo complained: $(grep 'varo:' "$E2E_OUT/daemon.log")"
