// Where the pictures are looked for: a short list of folders, tried in order for each file.
//
// Globals (file-local):
//   folders      the folders to search, in order; paths as given or as worked out
//   folderCount  folders in use
#include "images/picture_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
char folders[kMaxPictureFolders][kPicturePathCapacity] = {"."};
int folderCount = 1;

void addFolder(const char* folder) {
    if (folderCount < kMaxPictureFolders && folder[0] != '\0' &&
        std::strlen(folder) < kPicturePathCapacity)
        std::snprintf(folders[folderCount++], kPicturePathCapacity, "%s", folder);
}

// The folder that holds the running executable, without a trailing slash; false if unknown.
bool executableFolder(char (&folder)[kPicturePathCapacity]) {
    const ssize_t length = readlink("/proc/self/exe", folder, kPicturePathCapacity - 1);
    if (length <= 0)
        return false;
    folder[length] = '\0';
    char* slash = std::strrchr(folder, '/');
    if (slash == nullptr || slash == folder)
        return false;
    *slash = '\0';
    return true;
}

// <bin>/../share/varo, written without the "..", so that a relocated install finds its own.
void addInstalledFolder(const char* binFolder) {
    char folder[kPicturePathCapacity];
    std::snprintf(folder, sizeof folder, "%s", binFolder);
    char* slash = std::strrchr(folder, '/');
    if (slash == nullptr)
        return;
    *slash = '\0';
    if (std::strlen(folder) + sizeof "/share/varo" <= sizeof folder)
        std::strcat(folder, "/share/varo");
    addFolder(folder);
}

// A program run from the build tree (or a folder below it) reads the source tree's pictures.
void addSourceTreeFolder(const char* binFolder) {
#if defined(VARO_BUILD_DIR) && defined(VARO_SOURCE_DATA_DIR)
    const size_t length = std::strlen(VARO_BUILD_DIR);
    if (std::strncmp(binFolder, VARO_BUILD_DIR, length) == 0 &&
        (binFolder[length] == '\0' || binFolder[length] == '/'))
        addFolder(VARO_SOURCE_DATA_DIR);
#else
    (void)binFolder;
#endif
}

bool isRegularFile(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}
}  // namespace

void choosePictureFolders(const char* dataFolder) {
    folderCount = 0;
    if (dataFolder == nullptr)
        dataFolder = std::getenv("VARO_DATA_DIR");
    if (dataFolder != nullptr)
        addFolder(dataFolder);
    addFolder(".");
    char binFolder[kPicturePathCapacity];
    if (executableFolder(binFolder)) {
        addInstalledFolder(binFolder);
        addSourceTreeFolder(binFolder);
    }
}

bool findPicture(const char* name, char (&path)[kPicturePathCapacity]) {
    for (int n = 0; n < folderCount; ++n) {
        const int length = std::snprintf(path, kPicturePathCapacity, "%s/%s", folders[n], name);
        if (length > 0 && static_cast<size_t>(length) < kPicturePathCapacity && isRegularFile(path))
            return true;
    }
    return false;
}

void describePictureFolders(char* text, std::size_t capacity) {
    if (capacity == 0)
        return;
    text[0] = '\0';
    for (int n = 0; n < folderCount; ++n) {
        const size_t used = std::strlen(text);
        std::snprintf(text + used, capacity - used, "%s%s", n ? ", " : "", folders[n]);
    }
}
