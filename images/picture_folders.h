// Where the pictures are looked for: a short list of folders, tried in order for each file.
#pragma once

#include <cstddef>

constexpr int kMaxPictureFolders = 4;
constexpr std::size_t kPicturePathCapacity = 4096;  // bytes of a path, terminator included

// The folders in the order people expect: `dataFolder` (the --data option; when null, the
// VARO_DATA_DIR environment variable), the working directory, the installed data folder next
// to the executable (<bin>/../share/varo), and the source tree's data/ when the executable
// runs from the build tree. Until it is called only the working directory is searched.
void choosePictureFolders(const char* dataFolder);

// Writes into `path` the file `name` in the first folder that holds it as a regular file and
// returns true; false when no folder does.
bool findPicture(const char* name, char (&path)[kPicturePathCapacity]);

// The folders searched, as "a, b, c", for a message.
void describePictureFolders(char* text, std::size_t capacity);
