// The picture show: the listing, the worker's order and hand-over, and the timer, the fade and
// the image key on the frame clock, with real files made here.
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/frame.h"
#include "app/scene.h"
#include "images/picture_feed.h"
#include "images/picture_list.h"
#include "images/picture_show.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"

namespace fs = std::filesystem;
namespace {
struct Colour {
    unsigned char r, g, b;
};
constexpr Colour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

// A folder of made-up files, gone with the test.
class Folder {
public:
    const fs::path root = "/tmp/varo-show-" + std::to_string(getpid());
    Folder() { fs::create_directories(root); }
    ~Folder() { fs::remove_all(root); }
    std::string picture(const std::string& name, Colour c, int side = 8) const {
        fs::create_directories((root / name).parent_path());
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = image.height = static_cast<png_uint_32>(side);
        image.format = PNG_FORMAT_RGB;
        std::vector<unsigned char> pixels(static_cast<std::size_t>(side * side));
        std::vector<Colour> rgb(pixels.size(), c);
        png_image_write_to_file(&image, (root / name).c_str(), 0, rgb.data(), 0, nullptr);
        return root / name;
    }
    std::string text(const std::string& name) const {
        fs::create_directories((root / name).parent_path());
        std::ofstream(root / name) << "not a picture\n";
        return root / name;
    }
};

std::vector<std::string> listed(const std::vector<std::string>& paths, std::size_t cap = 100) {
    PictureList list;
    std::atomic<bool> stop{false};
    listPictures(paths, list, stop, cap);
    std::vector<std::string> names;
    for (std::size_t n = 0; n < list.paths.size(); ++n)
        names.push_back(list.paths[n].substr(list.paths[n].rfind("show-") + 5) +
                        (list.quietIfNotPicture[n] ? " (quiet)" : ""));
    return names;
}

// The names of the next `count` pictures the feed hands over.
std::vector<std::string> takeNames(PictureFeed& feed, int count) {
    std::vector<std::string> names;
    ReadyPicture picture;
    for (int n = 0; n < count; ++n) {
        feed.waitForPicture();
        if (!feed.take(picture))
            break;
        names.push_back(picture.name + " " + std::to_string(picture.position) + "/" +
                        std::to_string(picture.count));
    }
    return names;
}
}  // namespace

// Name order, subfolders depth first, hidden entries and a loop passed over; a note in a
// folder is kept quiet; an empty folder and the files past the cap each get their line.
TEST(PictureList, ListsFoldersDeepInNameOrderOnce) {
    Folder f;
    f.picture("b.png", kRed), f.picture("a/z.jpeg", kRed), f.text("c.txt"), f.text("d.JPG");
    f.picture(".hidden.png", kRed), f.picture(".dots/e.png", kRed);
    fs::create_directories(f.root / "empty");
    fs::create_directory_symlink(f.root, f.root / "a/loop");
    const std::string pid = std::to_string(getpid()), alone = f.text("c.txt");
    testing::internal::CaptureStderr();
    EXPECT_EQ(listed({f.root, alone, f.root / "empty", f.root / "none.png"}),
              (std::vector<std::string>{pid + "/a/z.jpeg", pid + "/b.png", pid + "/c.txt (quiet)",
                                        pid + "/d.JPG", pid + "/c.txt", pid + "/none.png"}));
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "varo: " + (f.root / "empty").string() + ": no PNG or JPEG pictures in this folder\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(listed({f.root}, 2).size(), 2u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "varo: 2 more pictures skipped (at most 2 are shown)\n");
    EXPECT_EQ(printableName("a\033[2Jb\xc3\xa9\x7f.png"), "a?[2Jb???.png");
}

// In order and round again; a note leaves quietly, a file that claims to be a picture with its
// line, once; a file gone at its turn likewise; a rewind goes back to the second.
TEST(PictureFeed, HandsOverInOrderDroppingWhatFailsOnce) {
    Folder f;
    f.picture("1.png", kRed), f.text("2.jpg"), f.text("3.txt"), f.picture("4.png", kGreen);
    const std::string gone = f.picture("5.png", kBlue);
    PictureFeed feed;
    testing::internal::CaptureStderr();
    feed.start({{f.root}, false, 1, {}});
    EXPECT_EQ(takeNames(feed, 1), (std::vector<std::string>{"1.png 0/5"}));  // the rest unjudged
    feed.waitForPicture();  // the next is decoded: the one after it goes now
    fs::remove(gone);
    EXPECT_EQ(takeNames(feed, 3),
              (std::vector<std::string>{"4.png 1/3", "1.png 0/2", "4.png 1/2"}));
    feed.rewind();
    EXPECT_EQ(takeNames(feed, 1), (std::vector<std::string>{"4.png 1/2"}));
    feed.stop();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "varo: " + f.root.string() + "/2.jpg: not a PNG or JPEG picture\nvaro: " + gone +
                  ": no such file\n");
    EXPECT_FALSE(feed.exhausted());
}

// Every picture once in each round, rounds in new orders, never the same one twice running.
TEST(PictureFeed, ShufflesEachRoundAnew) {
    Folder f;
    for (char name = 'a'; name < 'f'; ++name)
        f.picture(std::string(1, name) + ".png", kRed);
    PictureFeed feed;
    feed.start({{f.root}, true, 7, {}});
    const std::vector<std::string> shown = takeNames(feed, 20);
    std::set<std::vector<std::string>> rounds;
    for (int round = 0; round < 4; ++round) {
        std::vector<std::string> names(shown.begin() + 5 * round, shown.begin() + 5 * round + 5);
        for (std::string& name : names)
            name.resize(1);
        EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 5u) << round;
        rounds.insert(names);
        if (round > 0) {
            EXPECT_NE(shown[5 * round - 1].front(), shown[5 * round].front()) << round;
        }
    }
    EXPECT_GT(rounds.size(), 2u);
}

// With nothing showable the worker ends: nothing waits on it, nothing spins.
TEST(PictureFeed, EndsWhenNothingCanBeShown) {
    Folder f;
    f.text("a.txt"), f.text("b.png");
    const std::string longName = f.root.string() + "/" + std::string(4100, 'x') + ".png";
    PictureFeed feed;
    testing::internal::CaptureStderr();
    feed.start({{f.root, longName}, false, 1, {}});
    feed.waitForPicture();
    EXPECT_TRUE(feed.exhausted());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "varo: " + f.root.string() + "/b.png: not a PNG or JPEG picture\nvaro: " + longName +
                  ": File name too long\nvaro: no PNG or JPEG pictures to show\n");
}

class PictureShow : public VaroTest {
protected:
    Folder folder_;
    void start(std::vector<std::string> paths, int duration, float fade) {
        PictureShowOptions options;
        options.paths = std::move(paths);
        options.durationSeconds = duration;
        options.fadeSeconds = fade;
        startPictureShow(options, 1, {}, true);
        settings.imageIndex = restartPictureShow(kPortraitPicture);
    }
    void TearDown() override {
        startPictureShow({}, 1);
        restartPictureShow(kPortraitPicture);
        VaroTest::TearDown();
    }
    // The colour the pins wear at clock `ms`: the bound picture's first texel times its level.
    static std::string pinsAt(int ms) {
        elapsedMs = ms;
        advancePictureShow();
        unsigned char texel[128 * 128 * 4] = {};
        glBindTexture(GL_TEXTURE_2D, pictureTexture(settings.imageIndex));
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        const float level = pictureLevel();
        return std::to_string(static_cast<int>(texel[0] * level)) + "," +
               std::to_string(static_cast<int>(texel[1] * level)) + "," +
               std::to_string(static_cast<int>(texel[2] * level));
    }
};

// The first picture brightens in; every two seconds the next, through dark, and round again.
TEST_F(PictureShow, ChangesOnTheClockThroughDarkAndWraps) {
    start({folder_.picture("a.png", kRed), folder_.picture("b.png", kBlue)}, 2, 1.0f);
    const std::pair<int, const char*> frames[] = {
        {0, "0,0,0"},      {250, "127,0,0"},  {500, "255,0,0"},  {2000, "255,0,0"},
        {2250, "127,0,0"}, {2500, "0,0,0"},   {2750, "0,0,127"}, {3000, "0,0,255"},
        {4499, "0,0,255"}, {4500, "0,0,255"}, {4750, "0,0,127"}, {5000, "0,0,0"},
        {5500, "255,0,0"},
    };
    for (const auto& [ms, colour] : frames)
        EXPECT_EQ(pinsAt(ms), colour) << ms << " ms";
    const auto colouredPins = [](int ms) {  // drawn: the pins' own colours, never the stars'
        frameAt(ms);
        const std::vector<unsigned char> rgb = readRgb(0, 0, windowWidth, windowHeight);
        int pins = 0;
        for (std::size_t n = 0; n < rgb.size(); n += 3)
            pins += std::max(rgb[n], rgb[n + 2]) > 100 && rgb[n + 1] < 50;
        return pins;
    };
    EXPECT_GT(colouredPins(7000), 10000);  // the next change starts from the full picture...
    EXPECT_EQ(colouredPins(7500), 0);      // ...and is dark at its middle
}

// A picture still being decoded leaves the pins dark; it comes on, told by its name with
// --titles, as soon as it is decoded. The source stands for the screensaver's pictures.
TEST_F(PictureShow, APictureStillBeingDecodedLeavesThePinsDark) {
    std::atomic<bool> released{false};
    PictureShowOptions options;
    options.durationSeconds = 30;
    startPictureShow(
        options, 1,
        [&](PictureBlock& block, std::string& name, Refusal&, const std::atomic<bool>& stop) {
            while (!released && !stop)
                std::this_thread::yield();
            std::fill(std::begin(block), std::end(block), 255);
            name = "grab\n.png";
            return true;
        });
    settings.imageIndex = restartPictureShow(kPortraitPicture);
    tellOfPictures(PictureNews::titles);
    frameAt(100);
    EXPECT_EQ(pictureLevel(), 0.0f);
    released = true;
    int ms = 200;
    for (; textOverlay.messageExpiry == 0 && ms < 5000; ms += 100)
        frameAt(ms);  // each frame looks once for what the worker has handed over
    EXPECT_STREQ(textOverlay.messageText, "grab?.png");
    frameAt(ms + 500);  // the half of the fade that brightens
    EXPECT_EQ(pictureLevel(), 1.0f);
    tellOfPictures(PictureNews::imageMessage);
}

// Without pictures of the person's, a timer alternates the built-in two.
TEST_F(PictureShow, WithoutUserPicturesTheTimerAlternatesTheBuiltInOnes) {
    start({}, 1, 0.0f);
    for (const auto& [ms, index] : {std::pair{999, kPortraitPicture},
                                    {1000, kFishEyePicture},
                                    {1999, kFishEyePicture},
                                    {2000, kPortraitPicture}}) {
        pinsAt(ms);
        EXPECT_EQ(settings.imageIndex, index) << ms << " ms";
    }
}

// The key: fish-eye, portrait, each user picture, round again, with its message; a reset goes
// back to the first user picture, a timed change tells of itself as the key does.
TEST_F(PictureShow, TheImageKeyStepsThroughAllAndTheResetReturnsToTheFirst) {
    start({folder_.picture("a.png", kRed), folder_.picture("b.png", kBlue)}, 5, 0.0f);
    frameAt(0);
    EXPECT_STREQ(textOverlay.messageText, "");  // the first comes on without a message
    std::vector<std::string> messages;
    for (int press = 0; press < 5; ++press) {
        onKeyboard('i', 0, 0);
        messages.push_back(textOverlay.messageText);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"Image 3/3: b.png", "Image 0/3: FishEye",
                                                  "Image 1/3: Mona Lisa", "Image 2/3: a.png",
                                                  "Image 3/3: b.png"}));
    onKeyboard('r', 0, 0);
    EXPECT_EQ(pinsAt(1000), "255,0,0");
    frameAt(6000);
    EXPECT_EQ(std::string(textOverlay.messageText), "Image 3/3: b.png");
    start({folder_.picture("a.png", kRed)}, 0, 0.0f);  // one picture: the key goes round
    pinsAt(0);
    onKeyboard('i', 0, 0);
    EXPECT_EQ(std::string(textOverlay.messageText), "Image 0/2: FishEye");
}
