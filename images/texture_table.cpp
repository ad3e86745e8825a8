// Reading the 128 x 128 BMP pictures into GL textures, and the table that holds them.
#include "images/texture_table.h"

#include "overlay/text_overlay.h"

GLuint textureIds[kTextureCapacity];
int textureCount = 0;

GLuint loadBmpTexture(const char*, int, int, int) { return 0; }

void loadTextures() {
    textureIds[textureCount++] = loadBmpTexture("font.bmp", -1, 0, 0);
    textOverlay.fontTexture = textureIds[0];
    textureIds[textureCount++] = loadBmpTexture("fisheye.bmp", 255, 0, 1);
    textureIds[textureCount++] = loadBmpTexture("monacolor128.bmp", 255, 0, 1);
}
