// The command line of varo-capture: what to render, when, and where to write it.
#pragma once

#include <string>

#include "app/reset.h"
#include "images/picture_show.h"

struct CaptureOptions {
    int width = 1024, height = 768;  // pixels
    int seed = 1;                    // the random generator's seed at start-up, 0..kMaxSeed
    int stepsPerSecond = 30;         // frames simulated per second of the program's clock
    double from = 3.5;               // seconds: the (first) frame captured
    double to = -1;                  // seconds: the last frame of a strip; -1: `from`, one frame
    int frames = 1;                  // frames captured, evenly spread from `from` to `to`
    std::string keys;                // keyboard commands given at start-up, in order
    std::string dataFolder;          // first folder searched for the pictures; empty: none
    PictureShowOptions pictures;     // the person's pictures and how they take turns
    std::string out = "varo.png";
    StartSettings show;  // the show's settings, as varo's command line takes them
    int helpAsked = 0;
};

// Reads the options; on a bad one returns false with a message in `error`.
bool parseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error);

// The text of --help.
std::string captureUsage();
