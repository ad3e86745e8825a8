// Reading the 128 x 128 BMP pictures into GL textures, and the table that holds them.
#pragma once

#include <GL/gl.h>

constexpr int kBuiltInTextures = 3;   // entry 0 font atlas, 1 fish-eye picture, 2 portrait
constexpr int kUserPictureEntry = 3;  // the user picture on the board, once there is one
constexpr int kTextureCapacity = 4;

extern GLuint textureIds[kTextureCapacity];  // 0 where a file could not be opened
extern int textureCount;                     // filled entries; 3 after loadTextures

// Reads a 128 x 128 24-bit BMP into a new RGBA texture, left bound to GL_TEXTURE_2D.
// A negative alphaValue makes alpha the mean of red, green and blue; otherwise a texel gets
// alphaValue where any channel reaches alphaThreshold, else 0. Returns 0 if the file cannot
// be opened.
GLuint loadBmpTexture(const char* path, int alphaValue, int alphaThreshold, int mipmapped);

// Uploads 128 x 128 RGBA texels, bottom row first, into the user picture's entry (made on the
// first upload, replaced in place after), mipmapped as the built-in pictures are.
void uploadUserPicture(const unsigned char* texels);

// Loads "font.bmp", "fisheye.bmp" and "monacolor128.bmp", each from the first picture folder
// that holds it (images/picture_folders.h).
void loadTextures();
