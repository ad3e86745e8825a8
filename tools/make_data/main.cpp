// varo-make-data: writes the three pictures the program reads at start-up.
//
//   varo-make-data OUTPUT_FOLDER [FONT_FILE]
//
// writes OUTPUT_FOLDER/font.bmp, fisheye.bmp and monacolor128.bmp. The output depends on
// nothing but the font file, so running it again gives the same bytes.
#include <cstdio>
#include <string>

#include "bmp_file.h"
#include "fisheye_picture.h"
#include "font_atlas.h"
#include "portrait_picture.h"

namespace {
bool writeOrComplain(const Picture& picture, const std::string& path) {
    if (writeBmpFile(picture, path))
        return true;
    std::fprintf(stderr, "varo-make-data: cannot write %s\n", path.c_str());
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: varo-make-data OUTPUT_FOLDER [FONT_FILE]\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const std::string fontPath = argc == 3 ? argv[2] : kDefaultFontPath;

    Picture atlas;
    std::string error;
    if (!paintFontAtlas(fontPath, atlas, error)) {
        std::fprintf(stderr, "varo-make-data: %s\n", error.c_str());
        return 1;
    }
    bool written = writeOrComplain(atlas, folder + "font.bmp") &&
                   writeOrComplain(paintFisheye(), folder + "fisheye.bmp") &&
                   writeOrComplain(paintPortrait(), folder + "monacolor128.bmp");
    return written ? 0 : 1;
}
