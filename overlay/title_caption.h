// The title caption: the program's name, shaking, jumping and fading over the first seconds.
#pragma once

// Draws `text` near (x, y) with the oscillators' shake and random jumps, at opacity `alpha`.
void drawTitleCaption(const char* text, short x, short y, float size, float alpha);
