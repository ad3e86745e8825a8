// The toolkit's key and button callbacks: its codes turned into the program's own.
#pragma once

// What openWindow registers with the toolkit, taking its codes; each calls the handler below
// app/ with the program's code. Keys and buttons the program does not know arrive as `other`.
void onToolkitSpecialKey(int key, int x, int y);
void onToolkitSpecialKeyUp(int key, int x, int y);
void onToolkitMouseButton(int button, int state, int x, int y);
