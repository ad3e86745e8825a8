// The real xscreensaver-getimage paints a scratch home's picture; its centred square is the block.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/screensaver_images.h"
#include "tests/support/gl_test.h"

namespace {
// Texels within 60 (summed channel gaps) of `rgb` in block rows [from, to), from the bottom up.
int texelsNear(const PictureBlock& block, int from, int to, const std::array<int, 3>& rgb) {
    int count = 0;
    for (int t = 4 * from * kBlockSide; t < 4 * to * kBlockSide; t += 4) {
        int distance = 0;
        for (int c = 0; c < 3; ++c)
            distance += std::abs(block[t + c] - rgb[c]);
        count += distance < 60;
    }
    return count;
}

// The 1000 x 600 picture is padded above and below: centred, orange above lime, blue beside.
TEST(ScreensaverImages, BringTheCentredSquareOfTheHelpersPictureAndItsName) {
    char home[] = "/tmp/varo-home-XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    std::ofstream(std::string(home) + "/.xscreensaver")
        << "grabDesktopImages: False\nchooseRandomImages: True\nimageDirectory: "
        << std::filesystem::canonical("../tests/app/pictures").string() << "\n";  // from data/
    const std::string ownHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/";
    setenv("HOME", home, 1);
    const PictureSource source = chooseScreensaverImages({{}, -1, 1.0f, 0, 0, 1});
    aimScreensaverImages(0);
    PictureBlock block;
    std::string name;
    Refusal reason = "";
    ASSERT_TRUE(source(block, name, reason, std::atomic<bool>(false))) << reason;
    EXPECT_EQ(texelsNear(block, 0, 63, {0, 255, 0}), 63 * kBlockSide);  // a row each side of the
    EXPECT_EQ(texelsNear(block, 65, kBlockSide, {255, 140, 0}), 63 * kBlockSide);  // seam
    EXPECT_EQ(name, "orange-over-lime");  // as the helper names it
    setenv("HOME", ownHome.c_str(), 1);
    std::filesystem::remove_all(home);
}
}  // namespace
