// The person's own pictures: which files are shown, after the built-in two, and their names.
#pragma once

#include <string>
#include <vector>

#include "images/texture_table.h"

constexpr int kBuiltInPictures = 2;        // the fish-eye picture and the portrait, shown first
constexpr int kPictureNameCapacity = 256;  // bytes of a file name, terminator included

extern int userPictureCount;  // the person's pictures loaded, in texture entries 3, 4, ...
extern char userPictureNames[kMaxUserPictures][kPictureNameCapacity];  // their file names

// Chooses the files to show from `paths`, before the window opens: a file as it is, a folder's
// PNG and JPEG files (told by their content) in name order; 100 in all. A folder without any,
// or one that cannot be read, gets a line on stderr, and so do the pictures beyond the 100.
void chooseUserPictures(const std::vector<std::string>& paths);

// Decodes the chosen files into the texture table right after loadTextures; each that cannot be
// shown gets one line on stderr naming it and what is wrong, and the others are shown.
void loadUserPictures();

// The pictures of the show, which settings.imageIndex counts: 0 fish-eye, 1 portrait, then the
// person's own in order.
int pictureCount();
const char* pictureName(int index);  // "FishEye", "Mona Lisa", then the file's name

// The picture a start and a reset show: the person's first, else `otherwise`.
int startPicture(int otherwise);
