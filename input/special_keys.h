// Special keys: arrow keys held for the manual camera, and the page and home/end speed keys.
#pragma once

// The special keys in the program's own codes: app/ maps the toolkit's onto them.
enum class SpecialKey { left, right, up, down, pageUp, pageDown, home, end, other };

void onSpecialKey(SpecialKey key);
void onSpecialKeyUp(SpecialKey key);
