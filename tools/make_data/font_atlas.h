// The font atlas: the printable ASCII glyphs of an 8 x 16 console font, white on black.
#pragma once

#include <string>

#include "picture.h"

// The console font the atlas is made from (Debian package console-setup-linux).
constexpr const char* kDefaultFontPath = "/usr/share/consolefonts/Lat15-TerminusBold16.psf.gz";

// Paints the atlas from a PSF font file (version 1 or 2, plain or gzip-compressed) with
// 8 x 16 glyphs. Returns false and says why in `error` if the font cannot be used.
bool paintFontAtlas(const std::string& fontPath, Picture& atlas, std::string& error);
