// The person's pictures as a list of files: what --picture names, folders searched with their
// subfolders, in name order. Only names are read here; a file's content is judged at its turn.
#include "images/picture_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

namespace {
constexpr char kFirstPrintable = ' ', kLastPrintable = '~';  // the font's glyphs

using FolderId = std::pair<dev_t, ino_t>;

struct Lister {
    PictureList& list;
    const std::atomic<bool>& stop;
    std::size_t cap;
    std::set<FolderId> seen;  // folders listed, so that a link back up the tree ends
    std::size_t skipped = 0;  // files beyond the cap

    void add(const std::string& path, bool quiet) {
        if (list.paths.size() >= cap) {
            ++skipped;
            return;
        }
        list.paths.push_back(path);
        list.quietIfNotPicture.push_back(quiet && !nameSaysPicture(path));
    }

    // The folder's entries in name order, hidden ones left out; false if it cannot be read.
    static bool entriesOf(const std::string& folder, std::vector<std::string>& names) {
        DIR* directory = opendir(folder.c_str());
        if (directory == nullptr)
            return false;
        while (const dirent* entry = readdir(directory))
            if (entry->d_name[0] != '.')
                names.emplace_back(entry->d_name);
        closedir(directory);
        std::sort(names.begin(), names.end());
        return true;
    }

    // False, with a line, for a folder that cannot be read.
    bool listFolder(const std::string& folder, const struct stat& status) {
        if (!seen.insert({status.st_dev, status.st_ino}).second)
            return true;  // met before: a link back up the tree, or the same folder given twice
        std::vector<std::string> names;
        if (!entriesOf(folder, names)) {
            complainAbout(folder, std::strerror(errno));
            return false;
        }
        for (const std::string& name : names) {
            if (stop)
                break;
            const std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
            struct stat entry;
            if (stat(path.c_str(), &entry) != 0)
                continue;  // a dangling link, or gone since the folder was read
            if (S_ISDIR(entry.st_mode))
                listFolder(path, entry);
            else if (S_ISREG(entry.st_mode))
                add(path, true);
        }
        return true;
    }

    void listGiven(const std::string& path) {
        struct stat status;
        if (stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
            add(path, false);  // what is wrong with it, if anything, is said at its turn
            return;
        }
        const std::size_t before = list.paths.size() + skipped;
        if (listFolder(path, status) && list.paths.size() + skipped == before && !stop)
            complainAbout(path, "no PNG or JPEG pictures in this folder");
    }
};
}  // namespace

void listPictures(const std::vector<std::string>& paths, PictureList& list,
                  const std::atomic<bool>& stop, std::size_t cap) {
    Lister lister{list, stop, cap, {}};
    for (const std::string& path : paths)
        if (!stop)
            lister.listGiven(path);
    if (lister.skipped > 0)
        std::fprintf(stderr, "varo: %zu more pictures skipped (at most %zu are shown)\n",
                     lister.skipped, cap);
}

bool nameSaysPicture(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == "png" || extension == "jpg" || extension == "jpeg";
}

std::string printableName(const std::string& path) {
    std::string shown = path;
    for (char& c : shown)
        if (c < kFirstPrintable || c > kLastPrintable)
            c = '?';
    return shown;
}

void complainAbout(const std::string& what, const char* problem) {
    std::fprintf(stderr, "varo: %s: %s\n", printableName(what).c_str(), problem);
}
