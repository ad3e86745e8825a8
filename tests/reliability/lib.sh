# Shared by the reliability scripts that drive the running program; they define `pid` (the
# program's process) and `fail MESSAGE` before calling these.

# Running, and not merely waiting to be reaped.
alive() { [ -r "/proc/$pid/status" ] && ! grep -q '^State:.*zombie' "/proc/$pid/status" 2>/dev/null; }

# Waits up to 30 s for the program's window and sets `win` to it.
wait_for_window() {
    win=""
    for _ in $(seq 300); do
        win=$(xdotool search --name '^Varo$' 2>/dev/null | head -n 1)
        [ -n "$win" ] && return 0
        alive || fail "the program ended before its window appeared"
        sleep 0.1
    done
    fail "no window titled Varo within 30 s"
}
