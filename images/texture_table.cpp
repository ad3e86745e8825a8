// Reading the 128 x 128 BMP pictures into GL textures, and the table that holds them.
#include "images/texture_table.h"

#include <GL/glu.h>

#include <cerrno>
#include <cstdio>

#include "images/picture_file.h"
#include "images/picture_folders.h"

// Globals owned here:
//   textureIds    GL texture names: 0 font atlas, 1 fish-eye picture, 2 portrait, then the
//                 person's own pictures; 0 = not loaded
//   textureCount  entries filled so far; 3 after loadTextures
GLuint textureIds[kTextureCapacity];
int textureCount = 0;

namespace {
constexpr int kImageSize = 128;        // texels per side, and pixels per side of a file
constexpr long kPixelDataOffset = 54;  // bytes of header skipped unread
constexpr int kTexelBytes = 4;         // red, green, blue, alpha
constexpr int kLowByte = 0xFF;         // an alpha value keeps its low 8 bits

// The texels of the file being read, needed only until the upload and the mipmap build are
// done; the loader runs on the frame's thread (it calls GL), one file at a time.
unsigned char texels[kImageSize * kImageSize * kTexelBytes];

// Alpha of one texel from the channels as read, where a byte past the end of file is -1.
// The mean of three such bytes is -1 too, and stores as 255 like the colour channels.
unsigned char alphaOf(int red, int green, int blue, int alphaValue, int alphaThreshold) {
    if (alphaValue < 0)
        return static_cast<unsigned char>(static_cast<int>((red + green + blue) / 3.0));
    if (red >= alphaThreshold || green >= alphaThreshold || blue >= alphaThreshold)
        return static_cast<unsigned char>(alphaValue & kLowByte);
    return 0;
}

// Reads the pixel data, the file's first row into the top texture row (t near 1).
void readTexels(std::FILE* file, int alphaValue, int alphaThreshold) {
    std::fseek(file, kPixelDataOffset, SEEK_SET);
    for (int fileRow = 0; fileRow < kImageSize; ++fileRow) {
        unsigned char* texel = texels + (kImageSize - 1 - fileRow) * kImageSize * kTexelBytes;
        for (int x = 0; x < kImageSize; ++x, texel += kTexelBytes) {
            int blue = std::fgetc(file);
            int green = std::fgetc(file);
            int red = std::fgetc(file);
            // End of file (-1) stores as 255, its low 8 bits.
            texel[0] = static_cast<unsigned char>(red);
            texel[1] = static_cast<unsigned char>(green);
            texel[2] = static_cast<unsigned char>(blue);
            texel[3] = alphaOf(red, green, blue, alphaValue, alphaThreshold);
        }
    }
}

void uploadTexels(GLuint name, const unsigned char* pixels, int mipmapped) {
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);  // shared by all textures
    // Wrap modes stay at GL's repeat: the font lookup relies on it.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmapped ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kImageSize, kImageSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels);
    if (mipmapped)
        gluBuild2DMipmaps(GL_TEXTURE_2D, kTexelBytes, kImageSize, kImageSize, GL_RGBA,
                          GL_UNSIGNED_BYTE, pixels);
}

GLuint newTexture(const unsigned char* pixels, int mipmapped) {
    GLuint name = 0;
    glGenTextures(1, &name);
    uploadTexels(name, pixels, mipmapped);
    return name;
}

// A picture found nowhere is drawn without (entry 0); one line says where it was looked for.
void reportMissingPicture(const char* name) {
    char tried[kMaxPictureFolders * kPicturePathCapacity];
    describePictureFolders(tried, sizeof tried);
    std::fprintf(stderr, "%s: %s not found in: %s\n", program_invocation_short_name, name, tried);
}

// Loads one picture into the next free entry; the entry is counted even when the file failed.
void loadIntoTable(const char* name, int alphaValue, int alphaThreshold, int mipmapped) {
    // The built-in pictures have three entries. Once they are full, a further load keeps
    // what the table holds and creates no texture, rather than taking the person's entries.
    if (textureCount >= kBuiltInTextures)
        return;
    char path[kPicturePathCapacity];
    GLuint texture = 0;
    if (findPicture(name, path))
        texture = loadBmpTexture(path, alphaValue, alphaThreshold, mipmapped);
    else
        reportMissingPicture(name);
    textureIds[textureCount] = texture;
    ++textureCount;
}
}  // namespace

GLuint loadBmpTexture(const char* path, int alphaValue, int alphaThreshold, int mipmapped) {
    Refusal unused;  // a file that cannot be read leaves its entry 0 and its surfaces untextured
    std::FILE* file = openRegularFile(path, unused);
    if (!file)
        return 0;
    readTexels(file, alphaValue, alphaThreshold);
    std::fclose(file);
    return newTexture(texels, mipmapped);
}

void uploadUserPicture(const unsigned char* pixels) {
    if (textureCount <= kUserPictureEntry) {
        textureIds[kUserPictureEntry] = newTexture(pixels, 1);
        textureCount = kUserPictureEntry + 1;
    } else {
        uploadTexels(textureIds[kUserPictureEntry], pixels, 1);
    }
}

void loadTextures() {
    loadIntoTable("font.bmp", -1, 0, 0);      // alpha: mean of the channels, black transparent
    loadIntoTable("fisheye.bmp", 255, 0, 1);  // opaque everywhere
    loadIntoTable("monacolor128.bmp", 255, 0, 1);
}
