// The worker beside the frames: it lists the person's pictures, decodes the next one ahead into
// a 128 x 128 block and hands it over, so that a change never waits on a file. It makes no GL
// call: the frame's thread uploads what it takes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "images/picture_file.h"
#include "images/picture_list.h"

// A picture ready to be shown: its texels, its name and its place in the show.
struct ReadyPicture {
    PictureBlock block;
    std::string name;  // the file's name (or what the source calls it), printable
    int position = 0;  // 0-based place in the show's order
    int count = 0;     // pictures in the show when it was decoded
};

// Where pictures come from other than files: each call makes a new one into `block`, or says
// why not in `reason`. It runs on the worker and must return soon after `stop` is set.
using PictureSource = std::function<bool(PictureBlock& block, std::string& name, Refusal& reason,
                                         const std::atomic<bool>& stop)>;

struct FeedChoice {
    std::vector<std::string> paths;  // files and folders, listed on the worker
    bool shuffle = false;            // random order, every picture once before any repeats
    unsigned int seed = 1;           // of the shuffle
    PictureSource source;            // set: pictures from it instead of `paths`
};

class PictureFeed {
public:
    PictureFeed() = default;
    PictureFeed(const PictureFeed&) = delete;
    PictureFeed& operator=(const PictureFeed&) = delete;
    ~PictureFeed();

    // Starts the worker, which lists (or asks the source) and decodes the first picture.
    void start(FeedChoice choice);

    // Asks the worker to end, which it does within a slice of its work, and waits for it.
    void stop();

    // The next picture, if it is decoded: moved into `into`, and the worker goes on to the
    // one after it. False while it is being decoded, and once there is none.
    bool take(ReadyPicture& into);

    // The place of the picture that `take` would give, or -1 while there is none.
    int readyPosition();

    // Waits until `take` has a picture or none can come (for a clock that does not run).
    void waitForPicture();

    // The next picture is again the one after the first in the order.
    void rewind();

    // Listed (or asked), and nothing can be shown: every file failed, or the source did.
    bool exhausted();

private:
    void run();
    bool waitForRoom();  // until the slot is free; false once stopping
    bool judgeNext(std::unique_lock<std::mutex>& lock);
    bool decodeTurn();
    bool askSource();
    void publish();
    void drop(std::size_t position, const Refusal& reason);
    void becomeExhausted();
    void startRound();

    FeedChoice choice_;
    std::thread worker_;
    std::atomic<bool> stopping_{false};

    std::mutex mutex_;  // guards what follows, up to the worker's own state
    std::condition_variable changed_;
    ReadyPicture ready_;
    bool hasReady_ = false;
    bool exhausted_ = false;
    bool rewindAsked_ = false;

    // The worker's own: the list, what failed of it and what is known to be a picture; the
    // order of the current round, the next place in it to decode and the next to judge.
    PictureList list_;
    std::vector<char> dropped_;
    std::vector<char> judged_;
    std::vector<std::size_t> order_;
    std::size_t cursor_ = 0;
    std::size_t judgeAt_ = 0;
    std::size_t lastShown_ = static_cast<std::size_t>(-1);  // the entry decoded last
    std::mt19937 random_;
    ReadyPicture decoded_;
    bool droppedQuietly_ = false;
};
