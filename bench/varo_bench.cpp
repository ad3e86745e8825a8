// varo-bench: Varo's real frames on a clock the bench steps itself, timed and weighed.
//
// Modes: steady frames (rate, median and 99th percentile, memory, allocations), start-up
// split step by step, pacing of the frames that follow a command, and a long soak for memory.
// Under valgrind's callgrind (started with --instr-atstart=no) only the measured frames, or
// in start-up mode only initScene, are instrumented; see bench/our-share.sh.
#include <GL/freeglut.h>

#include <cstdio>
#include <vector>

#include "app/frame.h"
#include "app/reset.h"
#include "app/window.h"
#include "bench/alloc_counter.h"
#include "bench/bench_scene.h"
#include "bench/json_line.h"
#include "bench/measure.h"
#include "bench/options.h"
#include "bench/startup_probes.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif

namespace bench {
namespace {
void printConfiguration(const Options& o) {
    std::printf(
        "varo-bench %s: %dx%d, T = %d (%d pins), help page %s, clock %s, clock step %d ms\n",
        modeName(o.mode), o.width, o.height, o.pins, 2 * o.pins * o.pins, o.helpPage ? "on" : "off",
        o.clockOn ? "on" : "off", o.stepMs);
    std::printf("renderer: %s; load average %.2f\n", rendererName(), loadAverage());
}

JsonLine configurationJson(const Options& o) {
    JsonLine json;
    json.add("mode", modeName(o.mode))
        .add("width", o.width)
        .add("height", o.height)
        .add("pins", o.pins)
        .add("help_page", o.helpPage)
        .add("clock", o.clockOn)
        .add("step_ms", o.stepMs)
        .add("renderer", rendererName())
        .add("load_average", loadAverage());
    return json;
}

void warmUp(SteppedClock& clock, int frames) {
    for (int n = 0; n < frames; ++n)
        drawTurn(clock.tick(), 0);
}

// The measured frames: nothing here allocates (the times go into storage made beforehand).
__attribute__((noinline)) void drawMeasuredFrames(SteppedClock& clock, std::vector<double>& ms) {
    for (double& frameMs : ms)
        frameMs = drawTurn(clock.tick(), 0);
}

void printAllocations(const AllocationCounts& counts, int frames) {
    if (!countingAvailable())
        return;
    std::printf(
        "  heap allocations   %ld by our code in %d frames (%.3f per frame); %.2f per "
        "frame by any library\n",
        counts.ours, frames, static_cast<double>(counts.ours) / frames,
        static_cast<double>(counts.all) / frames);
    if (counts.ours != 0)
        std::printf("  first of ours called from %p (addr2line -f -C -e varo-bench-alloc)\n",
                    counts.firstOurs);
}

void runFrames(const Options& o) {
    SteppedClock clock(o.startMs, o.stepMs);
    warmUp(clock, o.warmup);
    std::vector<double> ms(static_cast<size_t>(o.frames));
    const double wallStart = wallMs(), cpuStart = processCpuMs();
    startCounting();
    CALLGRIND_START_INSTRUMENTATION;
    drawMeasuredFrames(clock, ms);
    CALLGRIND_STOP_INSTRUMENTATION;
    const AllocationCounts counts = stopCounting();
    const double wallTotal = wallMs() - wallStart, cpuTotal = processCpuMs() - cpuStart;

    const double fps = o.frames / (wallTotal * 1e-3);
    const double median = quantile(ms, 0.5), p99 = quantile(ms, 0.99);
    const double cpuPerFrame = cpuTotal / o.frames;
    printConfiguration(o);
    std::printf("  %d frames after %d warm-up frames\n", o.frames, o.warmup);
    std::printf("  frames per second  %.1f\n", fps);
    std::printf(
        "  frame time         median %.2f ms, 99th percentile %.2f ms (wall clock, frame\n"
        "                     start to the return of glFinish after the swap)\n",
        median, p99);
    std::printf("  CPU time           %.2f ms per frame (all threads)\n", cpuPerFrame);
    std::printf("  peak resident      %ld KiB\n", peakResidentKib());
    printAllocations(counts, o.frames);
    JsonLine json = configurationJson(o);
    json.add("frames", o.frames)
        .add("fps", fps)
        .add("median_ms", median)
        .add("p99_ms", p99)
        .add("cpu_ms_per_frame", cpuPerFrame)
        .add("peak_rss_kib", peakResidentKib());
    if (countingAvailable())
        json.add("allocs_ours", counts.ours).add("allocs_all", counts.all);
    json.print();
}

// Pacing: a key command every few frames, in this cycle.
enum class Event { none, rebuild, message, helpOpen, helpClose };
struct Command {
    unsigned char key;
    Event event;
};
constexpr Command kPacingCycle[] = {
    {'>', Event::rebuild}, {'<', Event::rebuild},  {'p', Event::message},
    {'p', Event::message}, {'?', Event::helpOpen}, {'?', Event::helpClose},
};
constexpr int kPacingCycleLength = sizeof kPacingCycle / sizeof kPacingCycle[0];

struct PacedFrame {
    double ms = 0;              // wall clock
    double cpuMs = 0;           // CPU time of all the process's threads
    Event event = Event::none;  // the command that ran in this turn
    int afterEvent = 0;         // flag: the turn right after a command
    int helpShown = 0;          // the help page was drawn in this frame
};

// Median and worst of the turns with `event` (or of the turns right after them), in wall
// and CPU time.
struct TurnTimes {
    std::vector<double> ms, cpuMs;
};

TurnTimes turnsWith(const std::vector<PacedFrame>& frames, Event event, size_t offset) {
    TurnTimes t;
    for (size_t n = 0; n + offset < frames.size(); ++n) {
        if (frames[n].event != event)
            continue;
        t.ms.push_back(frames[n + offset].ms);
        t.cpuMs.push_back(frames[n + offset].cpuMs);
    }
    return t;
}

void reportEvent(JsonLine& json, const std::vector<PacedFrame>& frames, Event event,
                 const char* name, const TurnTimes& plain) {
    const double baseMs = quantile(plain.ms, 0.5), baseCpu = quantile(plain.cpuMs, 0.5);
    const TurnTimes turn = turnsWith(frames, event, 0), next = turnsWith(frames, event, 1);
    const double worst = quantile(turn.ms, 1.0), worstCpu = quantile(turn.cpuMs, 1.0);
    const double worstNext = quantile(next.ms, 1.0), worstNextCpu = quantile(next.cpuMs, 1.0);
    std::printf(
        "  %-10s %3zu turns: wall median %.2fx, worst %.2fx (%.1f ms); CPU median "
        "%.2fx, worst %.2fx; next frame worst %.2fx wall, %.2fx CPU\n",
        name, turn.ms.size(), quantile(turn.ms, 0.5) / baseMs, worst / baseMs, worst,
        quantile(turn.cpuMs, 0.5) / baseCpu, worstCpu / baseCpu, worstNext / baseMs,
        worstNextCpu / baseCpu);
    std::string key = name;
    json.add((key + "_median_ratio").c_str(), quantile(turn.ms, 0.5) / baseMs)
        .add((key + "_worst_ratio").c_str(), worst / baseMs)
        .add((key + "_cpu_median_ratio").c_str(), quantile(turn.cpuMs, 0.5) / baseCpu)
        .add((key + "_cpu_worst_ratio").c_str(), worstCpu / baseCpu)
        .add((key + "_next_worst_ratio").c_str(), worstNext / baseMs)
        .add((key + "_next_cpu_worst_ratio").c_str(), worstNextCpu / baseCpu);
}

void drawPacedFrames(const Options& o, SteppedClock& clock, std::vector<PacedFrame>& frames) {
    int commandIndex = 0;
    for (size_t n = 0; n < frames.size(); ++n) {
        PacedFrame& f = frames[n];
        unsigned char key = 0;
        if (n % static_cast<size_t>(o.eventEvery) == static_cast<size_t>(o.eventEvery - 1)) {
            const Command& c = kPacingCycle[commandIndex++ % kPacingCycleLength];
            key = c.key;
            f.event = c.event;
        }
        f.afterEvent = n > 0 && frames[n - 1].event != Event::none;
        const double cpuStart = processCpuMs();
        f.ms = drawTurn(clock.tick(), key);
        f.cpuMs = processCpuMs() - cpuStart;
        f.helpShown = helpShown;
    }
}

void runPacing(const Options& o) {
    SteppedClock clock(o.startMs, o.stepMs);
    warmUp(clock, o.warmup);
    std::vector<PacedFrame> frames(static_cast<size_t>(o.frames));
    drawPacedFrames(o, clock, frames);
    TurnTimes plain, help;
    for (const PacedFrame& f : frames) {
        if (f.event != Event::none || f.afterEvent)
            continue;
        TurnTimes& t = f.helpShown ? help : plain;
        t.ms.push_back(f.ms);
        t.cpuMs.push_back(f.cpuMs);
    }
    const double baseMs = quantile(plain.ms, 0.5), baseCpu = quantile(plain.cpuMs, 0.5);
    printConfiguration(o);
    std::printf(
        "  %d frames, a command every %d; plain frames (%zu): wall median %.2f ms, 99th "
        "percentile %.2fx; CPU median %.2f ms, 99th percentile %.2fx\n",
        o.frames, o.eventEvery, plain.ms.size(), baseMs, quantile(plain.ms, 0.99) / baseMs, baseCpu,
        quantile(plain.cpuMs, 0.99) / baseCpu);
    std::printf("  help page shown (%zu frames): wall median %.2fx, CPU median %.2fx\n",
                help.ms.size(), quantile(help.ms, 0.5) / baseMs,
                quantile(help.cpuMs, 0.5) / baseCpu);
    JsonLine json = configurationJson(o);
    json.add("frames", o.frames)
        .add("median_ms", baseMs)
        .add("cpu_median_ms", baseCpu)
        .add("plain_p99_ratio", quantile(plain.ms, 0.99) / baseMs)
        .add("plain_cpu_p99_ratio", quantile(plain.cpuMs, 0.99) / baseCpu)
        .add("help_shown_ratio", quantile(help.ms, 0.5) / baseMs);
    reportEvent(json, frames, Event::rebuild, "rebuild", plain);
    reportEvent(json, frames, Event::message, "message", plain);
    reportEvent(json, frames, Event::helpOpen, "help_open", plain);
    reportEvent(json, frames, Event::helpClose, "help_close", plain);
    json.print();
}

// Soak: pins up to T + 4 and down to T - 4, the help page on and off, and a reset. Memory is
// read at the end of every cycle (unless asked otherwise), so that each reading sees the same
// scene (T back at its start, the help page off).
constexpr unsigned char kSoakCycle[] = {'>', '>', '>', '>', '<', '<', '<', '<',
                                        '<', '<', '<', '<', '?', '?', 'r'};
constexpr int kSoakCycleLength = sizeof kSoakCycle;

struct SoakTotals {
    long allocsOurs = 0, allocsAll = 0;
    long residentFirstReading = -1;  // at the first reading (after the first cycle)
    long residentLastReading = -1;   // at the last reading
    int commands = 0;
};

void drawSoakFrames(const Options& o, SteppedClock& clock, std::vector<double>& ms,
                    long residentAfterWarmUp, SoakTotals& totals) {
    const int sampleFrames = o.sampleEvery ? o.sampleEvery : kSoakCycleLength * o.eventEvery;
    for (int n = 0; n < o.frames; ++n) {
        unsigned char key = 0;
        if (n % o.eventEvery == o.eventEvery - 1)
            key = kSoakCycle[totals.commands++ % kSoakCycleLength];
        startCounting();
        ms[static_cast<size_t>(n)] = drawTurn(clock.tick(), key);
        const AllocationCounts counts = stopCounting();
        totals.allocsOurs += counts.ours;
        totals.allocsAll += counts.all;
        if ((n + 1) % sampleFrames != 0)
            continue;
        const long resident = residentKib();
        if (totals.residentFirstReading < 0)
            totals.residentFirstReading = resident;
        totals.residentLastReading = resident;
        std::printf(
            "  after %5d frames: resident %ld KiB (%+ld KiB since warm-up, %+ld since "
            "the first reading)\n",
            n + 1, resident, resident - residentAfterWarmUp,
            resident - totals.residentFirstReading);
        std::fflush(stdout);  // a long run shows its progress
    }
}

void runSoak(const Options& o, long residentAfterInit, long residentAfterFirstFrame) {
    SteppedClock clock(o.startMs, o.stepMs);
    warmUp(clock, o.warmup);
    const long residentAfterWarmUp = residentKib();
    printConfiguration(o);
    std::printf(
        "  resident after initScene %ld KiB, after the first frame %ld KiB, after %d "
        "warm-up frames %ld KiB; a cycle is %d commands, %d frames\n",
        residentAfterInit, residentAfterFirstFrame, o.warmup, residentAfterWarmUp, kSoakCycleLength,
        kSoakCycleLength * o.eventEvery);
    std::vector<double> ms(static_cast<size_t>(o.frames));
    SoakTotals totals;
    drawSoakFrames(o, clock, ms, residentAfterWarmUp, totals);
    std::printf("  %d key commands; frame time median %.2f ms; peak resident %ld KiB\n",
                totals.commands, quantile(ms, 0.5), peakResidentKib());
    if (countingAvailable())
        std::printf("  heap allocations   %ld by our code, %ld by any library, in %d frames\n",
                    totals.allocsOurs, totals.allocsAll, o.frames);
    JsonLine json = configurationJson(o);
    json.add("frames", o.frames)
        .add("commands", totals.commands)
        .add("rss_after_init_kib", residentAfterInit)
        .add("rss_after_first_frame_kib", residentAfterFirstFrame)
        .add("rss_after_warmup_kib", residentAfterWarmUp)
        .add("rss_first_reading_kib", totals.residentFirstReading)
        .add("rss_last_reading_kib", totals.residentLastReading)
        .add("rss_growth_since_first_reading_kib",
             totals.residentLastReading - totals.residentFirstReading)
        .add("peak_rss_kib", peakResidentKib())
        .add("median_ms", quantile(ms, 0.5));
    if (countingAvailable())
        json.add("allocs_ours", totals.allocsOurs).add("allocs_all", totals.allocsAll);
    json.print();
}

// Start-up, step by step, from main to the second swapped frame; the frames read the
// toolkit's clock as the program's display callback does.
struct StartupTimes {
    double glutInit, window, initScene, firstFrame, secondFrame;
};

double drawFrameOnToolkitClock() {
    const double start = wallMs();
    elapsedMs = glutGet(GLUT_ELAPSED_TIME);
    renderFrame();
    glutSwapBuffers();
    glFinish();
    return wallMs() - start;
}

void printStartup(const Options& o, const StartupTimes& t, double execToMain) {
    // Nested steps (the pin model within the reset, the upload within the textures) are
    // shown under their callers and left out of the sum.
    const Step steps[] = {Step::resetSettings,  Step::buildPinModel, Step::seedOscillators,
                          Step::buildStarField, Step::loadTextures,  Step::uploadTextures,
                          Step::firstMessage,   Step::pointer};
    double named = 0;
    for (Step step : steps)
        if (step != Step::buildPinModel && step != Step::uploadTextures)
            named += stepMs(step);
    const double toFirstSwap = t.glutInit + t.window + t.initScene + t.firstFrame;
    printConfiguration(o);
    if (execToMain >= 0)
        std::printf("  exec to main        %7.2f ms (loading the libraries)\n", execToMain);
    std::printf("  glutInit            %7.2f ms\n", t.glutInit);
    std::printf("  window and reshape  %7.2f ms\n", t.window);
    std::printf("  initScene           %7.2f ms, of which:\n", t.initScene);
    for (Step step : steps)
        std::printf("    %s%-17s %7.2f ms\n",
                    step == Step::buildPinModel || step == Step::uploadTextures ? "  " : "",
                    stepName(step), stepMs(step));
    std::printf("    %-17s %7.2f ms\n", "rest", t.initScene - named);
    std::printf("  first frame         %7.2f ms (renderFrame, swap, glFinish)\n", t.firstFrame);
    std::printf("  second frame        %7.2f ms\n", t.secondFrame);
    std::printf("  main to first swap  %7.2f ms\n", toFirstSwap);
    JsonLine json = configurationJson(o);
    json.add("exec_to_main_ms", execToMain)
        .add("glut_init_ms", t.glutInit)
        .add("window_ms", t.window)
        .add("init_scene_ms", t.initScene);
    for (Step step : steps)
        json.add((std::string(stepName(step)) + "_ms").c_str(), stepMs(step));
    json.add("init_rest_ms", t.initScene - named)
        .add("first_frame_ms", t.firstFrame)
        .add("second_frame_ms", t.secondFrame)
        .add("main_to_first_swap_ms", toFirstSwap)
        .add("peak_rss_kib", peakResidentKib());
    json.print();
}

void runStartup(const Options& o, const char* programName, double mainMs, double mainRealtime) {
    StartupTimes t{};
    double mark = mainMs;
    auto lap = [&mark]() {
        const double now = wallMs(), spent = now - mark;
        mark = now;
        return spent;
    };
    initToolkit(programName);
    t.glutInit = lap();
    openBenchWindow(o.width, o.height);
    t.window = lap();
    clearStepTimes();
    CALLGRIND_START_INSTRUMENTATION;
    initScene();
    CALLGRIND_STOP_INSTRUMENTATION;
    t.initScene = lap();
    applySceneOptions(o);
    t.firstFrame = drawFrameOnToolkitClock();
    t.secondFrame = drawFrameOnToolkitClock();
    const double execToMain = o.launchedAt > 0 ? (mainRealtime - o.launchedAt) * 1e3 : -1;
    printStartup(o, t, execToMain);
}
}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    const double mainMs = wallMs(), mainRealtime = realtimeSeconds();
    const Options o = parseOptions(argc, argv);
    if (o.mode == Mode::startup) {
        runStartup(o, argv[0], mainMs, mainRealtime);
        return 0;
    }
    initToolkit(argv[0]);
    openBenchWindow(o.width, o.height);
    initScene();
    const long residentAfterInit = residentKib();
    applySceneOptions(o);
    switch (o.mode) {
        case Mode::frames: runFrames(o); break;
        case Mode::pacing: runPacing(o); break;
        case Mode::soak: {
            drawTurn(o.startMs - o.stepMs, 0);  // the first frame pays for shader compilation
            runSoak(o, residentAfterInit, residentKib());
            break;
        }
        case Mode::startup: break;
    }
    return 0;
}
