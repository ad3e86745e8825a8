// The person's own pictures: which files are shown, after the built-in two, and their names.
//
// Globals:
//   userPictureCount  the person's pictures loaded, in texture entries 3, 4, ...
//   userPictureNames  their file names, without the folder, for the image key's message
//   chosenPaths       the files chosen to be read (file-local), chosenCount of them
#include "images/user_pictures.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "images/picture_file.h"
#include "images/picture_folders.h"

int userPictureCount = 0;
char userPictureNames[kMaxUserPictures][kPictureNameCapacity];

namespace {
const char* const kBuiltInNames[kBuiltInPictures] = {"FishEye", "Mona Lisa"};

char chosenPaths[kMaxUserPictures][kPicturePathCapacity];
int chosenCount = 0;
int skippedCount = 0;  // pictures beyond the 100

void complain(const char* path, const char* problem) {
    std::fprintf(stderr, "%s: %s: %s\n", program_invocation_short_name, path, problem);
}

void choose(const char* path) {
    if (chosenCount == kMaxUserPictures || std::strlen(path) >= kPicturePathCapacity)
        ++skippedCount;  // a path too long for the table could not be opened either
    else
        std::snprintf(chosenPaths[chosenCount++], kPicturePathCapacity, "%s", path);
}

// A folder's pictures in name order; hidden files, other kinds and sub-folders are passed over.
void chooseFromFolder(const char* folder) {
    dirent** entries = nullptr;
    const int count = scandir(folder, &entries, nullptr, alphasort);
    if (count < 0) {
        complain(folder, std::strerror(errno));
        return;
    }
    int pictures = 0;
    for (int n = 0; n < count; ++n) {
        char path[kPicturePathCapacity];
        const int length = std::snprintf(path, sizeof path, "%s/%s", folder, entries[n]->d_name);
        if (entries[n]->d_name[0] != '.' && length < static_cast<int>(sizeof path) &&
            looksLikePicture(path)) {
            choose(path);
            ++pictures;
        }
        std::free(entries[n]);
    }
    std::free(entries);
    if (pictures == 0)
        complain(folder, "no PNG or JPEG pictures in this folder");
}

const char* fileName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}
}  // namespace

void chooseUserPictures(const std::vector<std::string>& paths) {
    chosenCount = skippedCount = 0;
    for (const std::string& path : paths) {
        struct stat status;
        if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
            chooseFromFolder(path.c_str());
        else
            choose(path.c_str());  // what is wrong with it, if anything, is said on loading
    }
    if (skippedCount > 0)
        std::fprintf(stderr, "%s: %d more pictures skipped (at most %d are shown)\n",
                     program_invocation_short_name, skippedCount, kMaxUserPictures);
}

void loadUserPictures() {
    static PictureBlock block;  // 64 KiB: static, like the BMP loader's texels
    userPictureCount = 0;
    for (int n = 0; n < chosenCount; ++n) {
        Refusal reason;
        if (!readPictureFile(chosenPaths[n], block, reason))
            complain(chosenPaths[n], reason);
        else if (textureCount == kBuiltInTextures + userPictureCount && addPictureTexture(block))
            std::snprintf(userPictureNames[userPictureCount++], kPictureNameCapacity, "%.255s",
                          fileName(chosenPaths[n]));
    }
}

int pictureCount() {
    return kBuiltInPictures + userPictureCount;
}

const char* pictureName(int index) {
    if (index >= 0 && index < kBuiltInPictures)
        return kBuiltInNames[index];
    if (index >= kBuiltInPictures && index < pictureCount())
        return userPictureNames[index - kBuiltInPictures];
    return "";
}

int startPicture(int otherwise) {
    return userPictureCount > 0 ? kBuiltInPictures : otherwise;
}
