// Special keys: arrow keys held for the manual camera, and the page and home/end speed keys.
#pragma once

void onSpecialKey(int key, int x, int y);
void onSpecialKeyUp(int key, int x, int y);
