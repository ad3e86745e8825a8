// The worker beside the frames: it lists the person's pictures, decodes the next one ahead into
// a 128 x 128 block and hands it over, so that a change never waits on a file. It makes no GL
// call: the frame's thread uploads what it takes.
//
// The hand-over is one slot under a mutex: the worker fills it and waits until the frame's
// thread has taken it, so at most three pictures are in memory on this side (the one being
// decoded, the one in the slot, the one taken). While it waits it judges the files ahead by
// their first bytes, so that notes and sidecars leave the count early. A file that fails is
// said once and dropped from the list; with none left the worker ends, and so never spins.
#include "images/picture_feed.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>

namespace {
constexpr int kWorkerNice = 10;  // of 19: the frames come first, the worker takes what is left

std::string fileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

PictureFeed::~PictureFeed() {
    stop();
}

void PictureFeed::start(FeedChoice choice) {
    stop();
    choice_ = std::move(choice);
    stopping_ = false;
    hasReady_ = exhausted_ = rewindAsked_ = droppedQuietly_ = false;
    list_ = {};
    dropped_.clear();
    judged_.clear();
    random_.seed(choice_.seed);
    worker_ = std::thread(&PictureFeed::run, this);
}

void PictureFeed::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

bool PictureFeed::take(ReadyPicture& into) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!hasReady_)
            return false;
        into = ready_;
        hasReady_ = false;
    }
    changed_.notify_all();
    return true;
}

int PictureFeed::readyPosition() {
    std::lock_guard<std::mutex> lock(mutex_);
    return hasReady_ ? ready_.position : -1;
}

void PictureFeed::waitForPicture() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return hasReady_ || exhausted_ || !worker_.joinable(); });
}

void PictureFeed::rewind() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        rewindAsked_ = true;
        hasReady_ = false;
    }
    changed_.notify_all();
}

bool PictureFeed::exhausted() {
    std::lock_guard<std::mutex> lock(mutex_);
    return exhausted_;
}

// --- The worker ---------------------------------------------------------------------------------

void PictureFeed::run() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);  // this thread alone
    if (!choice_.source) {
        listPictures(choice_.paths, list_, stopping_);
        dropped_.assign(list_.paths.size(), 0);
        judged_.assign(list_.paths.size(), 0);
        startRound();
    }
    while (waitForRoom()) {
        if (!(choice_.source ? askSource() : decodeTurn())) {
            becomeExhausted();
            return;
        }
    }
}

bool PictureFeed::waitForRoom() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_ && hasReady_ && !rewindAsked_)
        if (!judgeNext(lock))
            changed_.wait(lock);
    if (rewindAsked_) {  // the first picture is shown again: the next is the second
        rewindAsked_ = false;
        cursor_ = order_.size() > 1 ? 1 : 0;
    }
    return !stopping_;
}

// Judges the next file ahead of the cursor by its first bytes, the lock let go meanwhile; false
// once the rest of the round is judged. A file that cannot be read is left to its turn.
bool PictureFeed::judgeNext(std::unique_lock<std::mutex>& lock) {
    judgeAt_ = std::max(judgeAt_, cursor_);
    while (judgeAt_ < order_.size() && judged_[order_[judgeAt_]])
        ++judgeAt_;
    if (choice_.source || judgeAt_ >= order_.size())
        return false;
    const std::size_t entry = order_[judgeAt_];
    lock.unlock();
    Refusal reason;
    const bool picture = looksLikePicture(list_.paths[entry].c_str(), reason);
    lock.lock();
    judged_[entry] = 1;
    if (!picture && std::strcmp(reason, kNotAPicture) == 0)
        drop(judgeAt_, reason);
    return true;
}

// Decodes the picture at the cursor; false once none is left.
bool PictureFeed::decodeTurn() {
    while (!order_.empty()) {
        const std::size_t entry = order_[cursor_];
        const std::string& path = list_.paths[entry];
        Refusal reason;
        if (readPictureFile(path.c_str(), decoded_.block, reason, &stopping_)) {
            decoded_.name = printableName(fileName(path));
            decoded_.position = static_cast<int>(cursor_);
            decoded_.count = static_cast<int>(order_.size());
            publish();
            judged_[entry] = 1;
            lastShown_ = entry;
            if (++cursor_ == order_.size())
                startRound();
            return true;
        }
        if (stopping_)
            return true;  // the loop sees the stop
        drop(cursor_, reason);
    }
    return false;
}

bool PictureFeed::askSource() {
    Refusal reason;
    std::string name;
    if (choice_.source(decoded_.block, name, reason, stopping_)) {
        decoded_.name = printableName(name);
        decoded_.position = 0;
        decoded_.count = 1;
        publish();
        return true;
    }
    if (!stopping_)
        std::fprintf(stderr, "varo: %s\n", reason);
    return stopping_;
}

// Into the slot, unless the show went back to its first picture meanwhile.
void PictureFeed::publish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (rewindAsked_)
            return;
        ready_ = decoded_;
        hasReady_ = true;
    }
    changed_.notify_all();
}

// Said once, and gone from the show; a file in a folder that is plainly not meant as a
// picture (a note, a sidecar) is passed over without a word.
void PictureFeed::drop(std::size_t position, const Refusal& reason) {
    const std::size_t entry = order_[position];
    if (list_.quietIfNotPicture[entry] && std::strcmp(reason, kNotAPicture) == 0)
        droppedQuietly_ = true;
    else
        complainAbout(list_.paths[entry], reason);
    dropped_[entry] = 1;
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(position));
    if (cursor_ == order_.size())
        startRound();
}

void PictureFeed::becomeExhausted() {
    if (droppedQuietly_)
        std::fprintf(stderr, "varo: no PNG or JPEG pictures to show\n");
    {
        std::lock_guard<std::mutex> lock(mutex_);
        exhausted_ = true;
    }
    changed_.notify_all();
}

// A new round over the pictures still in the show: in list order, or shuffled so that the
// round does not open with the picture that closed the last.
void PictureFeed::startRound() {
    order_.clear();
    for (std::size_t entry = 0; entry < dropped_.size(); ++entry)
        if (!dropped_[entry])
            order_.push_back(entry);
    cursor_ = judgeAt_ = 0;
    if (!choice_.shuffle || order_.size() < 2)
        return;
    std::shuffle(order_.begin(), order_.end(), random_);
    if (order_.front() == lastShown_)
        std::swap(order_.front(), order_.back());
}
