// The picture show: the listing, the worker's order and hand-over, the timer, fade and key.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "app/frame.h"
#include "images/picture_feed.h"
#include "images/picture_list.h"
#include "images/picture_show.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
#include "tests/support/gl_test.h"

namespace fs = std::filesystem;
namespace {
using Names = std::vector<std::string>;
const char *kRed = "red.png", *kGreen = "green.png", *kBlue = "blue.png";  // one pixel each

// A folder of made-up files, gone with the test.
struct Folder {
    const fs::path root = "/tmp/varo-show-" + std::to_string(getpid());
    Folder() { fs::create_directories(root); }
    ~Folder() { fs::remove_all(root); }
    // A copy of one of the pictures in tests/images/pictures/, or without one a note; its path.
    std::string add(const std::string& name, const char* picture = nullptr) const {
        const fs::path path = root / name;
        fs::create_directories(path.parent_path());
        picture ? void(fs::copy_file("../tests/images/pictures/" + std::string(picture), path))
                : void(std::ofstream(path) << "not a picture\n");
        return path;
    }
    // What `paths` are listed as, below the folder; " (quiet)": left quiet if no picture.
    Names listed(const std::vector<std::string>& paths, std::size_t cap = 100) const {
        PictureList list;
        listPictures(paths, list, std::atomic<bool>(false), cap);
        Names names;
        for (std::size_t n = 0; n < list.paths.size(); ++n)
            names.push_back(list.paths[n].substr(root.string().size() + 1) +
                            (list.quietIfNotPicture[n] ? " (quiet)" : ""));
        return names;
    }
};

// The names of the next `count` pictures the feed hands over, fewer once it has none.
Names takeNames(PictureFeed& feed, int count) {
    Names names;
    for (ReadyPicture p; count-- > 0 && (feed.waitForPicture(), feed.take(p));)
        names.push_back(p.name + " " + std::to_string(p.position) + "/" + std::to_string(p.count));
    return names;
}
}  // namespace

// Name order, depth first, hidden and loops skipped, notes quiet; empty folders, overflow reported.
TEST(PictureList, ListsFoldersDeepInNameOrderOnce) {
    Folder f;
    f.add("b.png", kRed), f.add("a/z.jpeg", kRed), f.add("c.txt"), f.add("d.JPG");
    f.add(".hidden.png", kRed), f.add(".dots/e.png", kRed);
    fs::create_directories(f.root / "empty");
    fs::create_directory_symlink(f.root, f.root / "a/loop");
    testing::internal::CaptureStderr();
    EXPECT_EQ(f.listed({f.root, f.root / "c.txt", f.root / "empty", f.root / "none.png"}),
              (Names{"a/z.jpeg", "b.png", "c.txt (quiet)", "d.JPG", "c.txt", "none.png"}));
    EXPECT_EQ(f.listed({f.root}, 2).size(), 2u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "varo: " + (f.root / "empty").string() +
                  ": no PNG or JPEG pictures in this folder\n"
                  "varo: 2 more pictures skipped (at most 2 are shown)\n");
    EXPECT_EQ(printableName("a\033[2Jb\xc3\xa9\x7f.png"), "a?[2Jb???.png");
}

// In order and round; notes leave quietly, false pictures, vanished or long names with one line;
// a rewind goes to the second; with none left the worker ends, says so, and nothing waits on it.
TEST(PictureFeed, HandsOverInOrderDroppingWhatFailsOnceAndEndsWithNoneLeft) {
    Folder f;
    f.add("1.png", kRed), f.add("2.jpg"), f.add("3.txt"), f.add("4.png", kGreen);
    const std::string gone = f.add("5.png", kBlue), tooLong = gone + std::string(4100, 'x');
    PictureFeed feed;
    testing::internal::CaptureStderr();
    feed.start({{f.root, tooLong}, false, 1, {}});
    EXPECT_EQ(takeNames(feed, 1), (Names{"1.png 0/6"}));  // the rest not yet judged
    feed.waitForPicture();  // the next is decoded: the one after it goes now
    fs::remove(gone);
    EXPECT_EQ(takeNames(feed, 3), (Names{"4.png 1/4", "1.png 0/2", "4.png 1/2"}));
    feed.rewind();
    EXPECT_EQ(takeNames(feed, 1), (Names{"4.png 1/2"}));
    feed.waitForPicture();
    fs::remove_all(f.root);
    EXPECT_EQ(takeNames(feed, 3), (Names{"1.png 0/2"}));
    EXPECT_TRUE(feed.exhausted());
    const auto said = [&f](const std::string& name, const char* what) {
        return "varo: " + (f.root / name).string() + ": " + what + "\n";
    };
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              said("2.jpg", "not a PNG or JPEG picture") + said(gone, "no such file") +
                  said(tooLong, "File name too long") + said("4.png", "no such file") +
                  said("1.png", "no such file") + "varo: no PNG or JPEG pictures to show\n");
}

// A lone picture comes again and again, after a rewind too.
TEST(PictureFeed, ShowsALonePictureAgainAfterARewind) {
    Folder f;
    PictureFeed feed;
    feed.start({{f.add("a.png", kRed)}, false, 1, {}});
    EXPECT_EQ(takeNames(feed, 2), (Names{"a.png 0/1", "a.png 0/1"}));
    feed.rewind();
    EXPECT_EQ(takeNames(feed, 2), (Names{"a.png 0/1", "a.png 0/1"}));
}

// Every picture once in each round, rounds in new orders, never the same one twice running.
TEST(PictureFeed, ShufflesEachRoundAnew) {
    Folder f;
    for (const char* name : {"a.png", "b.png", "c.png", "d.png", "e.png"})
        f.add(name, kRed);
    PictureFeed feed;
    feed.start({{f.root}, true, 7, {}});
    std::string shown;  // the pictures' first letters
    for (const std::string& name : takeNames(feed, 20))
        shown += name[0];
    std::set<std::string> rounds;
    for (int round = 0; round < 4; ++round)
        rounds.insert(shown.substr(5 * round, 5));
    for (const std::string& round : rounds)
        EXPECT_EQ(std::set<char>(round.begin(), round.end()).size(), 5u) << shown;
    EXPECT_GT(rounds.size(), 2u) << shown;
    EXPECT_EQ(std::adjacent_find(shown.begin(), shown.end()), shown.end()) << shown;
}

class PictureShow : public VaroTest {
protected:
    Folder folder_;
    void start(std::vector<std::string> paths, int duration, float fade) {
        startPictureShow({std::move(paths), duration, fade, 0, 0, 0}, 1, {}, true);
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
        std::string colour;
        for (int c = 0; c < 3; ++c)
            colour += (c ? "," : "") + std::to_string(static_cast<int>(texel[c] * pictureLevel()));
        return colour;
    }
};

// Each picture brightens in, every 2 s the next through dark, round again; else the built-in two.
TEST_F(PictureShow, ChangesOnTheClockThroughDarkAndWraps) {
    start({folder_.add("a.png", kRed), folder_.add("b.png", kBlue)}, 2, 1.0f);
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
    start({}, 1, 0.0f);  // without the person's pictures, the timer alternates the built-in two
    std::string shown;
    for (int ms : {8499, 8500, 9499, 9500})
        shown += (pinsAt(ms), settings.imageIndex == kPortraitPicture ? "portrait " : "fish-eye ");
    EXPECT_EQ(shown, "portrait fish-eye fish-eye portrait ");
}

// A picture still decoding leaves the pins dark; it shows (named, with --titles) once decoded.
TEST_F(PictureShow, APictureStillBeingDecodedLeavesThePinsDark) {
    std::atomic<bool> released{false};
    const auto source = [&](PictureBlock& block, std::string& name, Refusal&,
                            const std::atomic<bool>& stop) {
        while (!released && !stop)
            std::this_thread::yield();
        std::fill(std::begin(block), std::end(block), 255);
        name = "grab\n.png";
        return true;
    };
    startPictureShow({{}, 30}, 1, source);
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

// The key steps fish-eye, portrait, user pictures, round, with messages; reset: first user one.
TEST_F(PictureShow, TheImageKeyStepsThroughAllAndTheResetReturnsToTheFirst) {
    start({folder_.add("a.png", kRed), folder_.add("b.png", kBlue)}, 5, 0.0f);
    frameAt(0);
    EXPECT_STREQ(textOverlay.messageText, "");  // the first comes on without a message
    Names messages;
    for (int press = 0; press < 5; ++press)
        onKeyboard('i', 0, 0), messages.push_back(textOverlay.messageText);
    EXPECT_EQ(messages, (Names{"Image 3/3: b.png", "Image 0/3: FishEye", "Image 1/3: Mona Lisa",
                               "Image 2/3: a.png", "Image 3/3: b.png"}));
    onKeyboard('r', 0, 0);
    EXPECT_EQ(pinsAt(1000), "255,0,0");
    frameAt(6000);
    EXPECT_STREQ(textOverlay.messageText, "Image 3/3: b.png");
    start({folder_.root / "a.png"}, 0, 0.0f);  // one picture: the key goes round
    pinsAt(0);
    onKeyboard('i', 0, 0);
    EXPECT_STREQ(textOverlay.messageText, "Image 0/2: FishEye");
}
