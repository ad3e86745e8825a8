// The command line of varo-capture: what to render, when, and where to write it.
#pragma once

#include <string>
#include <vector>

#include "app/reset.h"
#include "images/picture_show.h"

struct CaptureOptions {
    int width = 1024;         // pixels
    int height = 768;         // pixels
    unsigned int seed = 1;    // the random generator's seed at start-up
    int stepsPerSecond = 30;  // frames simulated per second of the program's clock
    double from = 3.5;        // seconds: the (first) frame captured
    double to = 3.5;          // seconds: the last frame of a strip
    int frames = 1;           // frames captured, evenly spread from `from` to `to`
    std::string keys;         // keyboard commands given at start-up, in order
    std::string dataFolder;   // first folder searched for the pictures; empty: none
    PictureShowOptions pictures;  // the person's own pictures and how the show changes them
    std::string out = "varo.png";
    StartSettings show;  // the show's settings, as varo's command line takes them
    int helpAsked = 0;
};

// Reads the options; on a bad one returns false with a message in `error`.
bool parseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error);

// The text of --help.
std::string captureUsage();

// The files the capture writes: `out` for one frame; for a strip, `out` with -001, -002, ...
// before its extension.
std::vector<std::string> outputPaths(const CaptureOptions& options);

// The program's clock, in milliseconds, at each captured frame, in order.
std::vector<int> captureTimesMs(const CaptureOptions& options);
