// The screensaver's pictures: the real xscreensaver-getimage paints the picture a scratch home's
// settings choose, and the largest centred square of what it painted reaches the block.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/screensaver_images.h"
#include "tests/support/gl_test.h"

namespace {
// Texels near `rgb` (their channels' differences add up to under 60) in the block's rows
// [from, to), which count from the picture's bottom.
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

// The folder's one picture is 1000 x 600, wider than the screen's shape, so that the helper pads
// it above and below: in its centred square orange above lime, blue beside it.
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
