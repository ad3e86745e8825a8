// The person's pictures as a list of files: what --picture names, folders searched with their
// subfolders, in name order. Only names are read here; a file's content is judged at its turn.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kMaxListedPictures = 1000000;  // more than any person's collection

struct PictureList {
    std::vector<std::string> paths;
    // Per path, 1 where a file that turns out not to be a PNG or JPEG is passed over without a
    // word: found in a folder, with a name that does not say PNG or JPEG (a sidecar, a note).
    std::vector<char> quietIfNotPicture;
};

// Lists `paths` in the order given: a file as it is, a folder's regular files and subfolders
// in name order, depth first. Hidden entries are passed over, and so is a folder met again
// (a symbolic link back up the tree). A folder that cannot be read, or that holds no file at
// all, gets a line on stderr, and so do the files beyond `cap`. Ends early once `stop` is set.
void listPictures(const std::vector<std::string>& paths, PictureList& list,
                  const std::atomic<bool>& stop, std::size_t cap = kMaxListedPictures);

// Whether a file name says PNG or JPEG: .png, .jpg, .jpeg, in any case.
bool nameSaysPicture(const std::string& path);

// The path as it may be shown: bytes the font lacks and control characters (which could
// drive a terminal) become '?'.
std::string printableName(const std::string& path);

// One line on stderr, "varo: WHAT: PROBLEM", with WHAT shown printably.
void complainAbout(const std::string& what, const char* problem);
