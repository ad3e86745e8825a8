// The screensaver's pictures: the real xscreensaver-getimage paints the picture a scratch home's
// settings choose, and the largest centred square of what it painted reaches the block.
#include <stdlib.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/screensaver_images.h"
#include "tests/support/gl_test.h"

namespace {
using Colour = std::array<int, 3>;
constexpr Colour kOrange = {255, 140, 0}, kLime = {0, 255, 0};

// A picture wider than the screen's shape, so that the helper pads it above and below: in its
// centred square orange above lime, blue beside it.
void makePicture(const std::string& folder) {
    const std::string halves =
        " -fill darkorange -draw 'rectangle 200,0 799,299'"
        " -fill lime -draw 'rectangle 200,300 799,599' ";
    const std::string command = "mkdir " + folder + " && convert -size 1000x600 xc:blue" + halves +
                                folder + "/one-clear-colour.png";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

bool near(const unsigned char* texel, const Colour& colour) {
    int distance = 0;
    for (int c = 0; c < 3; ++c)
        distance += std::abs(texel[c] - colour[c]);
    return distance < 60;
}

// Texels near `colour` in the block's rows [from, to), which count from the picture's bottom.
int texelsNear(const PictureBlock& block, int from, int to, const Colour& colour) {
    int count = 0;
    for (int texel = from * kBlockSide; texel < to * kBlockSide; ++texel)
        count += near(block + 4 * texel, colour);
    return count;
}

TEST(ScreensaverImages, BringTheCentredSquareOfTheHelpersPictureAndItsName) {
    char home[] = "/tmp/varo-home-XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    makePicture(std::string(home) + "/pictures");
    std::ofstream(std::string(home) + "/.xscreensaver")
        << "grabDesktopImages: False\nchooseRandomImages: True\nimageDirectory: " << home
        << "/pictures\n";
    const std::string ownHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/";
    setenv("HOME", home, 1);
    PictureShowOptions options;
    options.screensaverImages = 1;
    const PictureSource source = chooseScreensaverImages(options);
    aimScreensaverImages(0);
    PictureBlock block;
    std::string name;
    Refusal reason = "";
    ASSERT_TRUE(source(block, name, reason, std::atomic<bool>(false))) << reason;
    EXPECT_EQ(texelsNear(block, 0, 63, kLime), 63 * kBlockSide);  // a row each side of the seam
    EXPECT_EQ(texelsNear(block, 65, kBlockSide, kOrange), 63 * kBlockSide);
    EXPECT_NE(name.find("one-clear-colour"), std::string::npos) << name;
    setenv("HOME", ownHome.c_str(), 1);
    EXPECT_EQ(std::system(("rm -rf " + std::string(home)).c_str()), 0);
}
}  // namespace
