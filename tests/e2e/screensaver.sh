#!/usr/bin/env bash
# Varo run by the real XScreenSaver daemon (as nobody, from copies that user can read): its first
# frame shows the stars; on deactivation Varo ends.
source "$(dirname "$0")/lib.sh"
need xscreensaver xscreensaver && need setpriv util-linux

readonly NOBODY=65534
mkdir -p "$SCRATCH/bin" "$SCRATCH/share/varo" "$SCRATCH/home"
cp "$E2E_VARO" "$SCRATCH/bin/varo" && cp "$E2E_DATA"/*.bmp "$SCRATCH/share/varo/"
cp "$E2E_STOP" "$SCRATCH/stop.so" && chmod -R a+rX "$SCRATCH"
# The daemon nices its programs to 10 by default: beside the other tests on a busy machine, a
# sanitized build would get a few per cent of a core, and its start and end would take minutes.
cat >"$SCRATCH/home/.xscreensaver" <<SETTINGS
mode: one
selected: 0
lock: False
fade: False
unfade: False
splash: False
nice: 0
programs: \\
  GL: env LD_PRELOAD=$SCRATCH/stop.so $SCRATCH/bin/varo --root \\n\\

SETTINGS
chown -R "$NOBODY:$NOBODY" "$SCRATCH/home"
as_nobody() {
    setpriv --reuid=$NOBODY --regid=$NOBODY --clear-groups \
        env HOME="$SCRATCH/home" DISPLAY="$DISPLAY" ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$@"
}
as_nobody xscreensaver -no-splash -verbose >"$E2E_OUT/daemon.log" 2>&1 &
daemon=$!
trap 'cleanup; { kill "$daemon" && wait "$daemon"; } 2>/dev/null || true' EXIT
VARO_PID=$daemon  # while waiting: fail at once if the daemon ends
await "the daemon's answer" as_nobody xscreensaver-command -time

as_nobody xscreensaver-command -activate >/dev/null
running() { hack=$(pgrep -f "^$SCRATCH/bin/varo --root") && [ -n "$hack" ]; }
await "Varo started by the daemon" running
VARO_PID=$hack && first_frame
check "stars" "$(convert "$SHOT" -colorspace gray -threshold 50% -format '%[fx:mean]' info:)" '>' 0.001
as_nobody xscreensaver-command -deactivate >/dev/null
ends_within deactivation "$DEADLINE"  # a bound against a hang: the time is the bench's
! grep 'varo:' "$E2E_OUT/daemon.log" || fail "Varo complained"
