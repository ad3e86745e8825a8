// varo-bench: Varo's real frames on a clock the bench steps itself, timed and weighed: steady
// frames, the frames after key commands, start-up. Each run prints one JSON line. Under
// callgrind (--instr-atstart=no) only the measured frames, or initScene, are instrumented.
#include <GL/freeglut.h>

#include <string>
#include <vector>

#include "app/window.h"
#include "bench/bench_scene.h"
#include "bench/measure.h"
#include "bench/options.h"
#include "state/frame_clock.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif

namespace bench {
namespace {
constexpr int kStepMs = 16;      // the bench's clock advances this much per frame
constexpr int kStartMs = 10000;  // clock of the first frame: past the title and the fade-in

// Resident memory (KiB) at the marks of a run; -1 where a run has no such mark.
struct MemoryMarks {
    long afterInit = -1, afterFirstFrame = -1, afterWarmUp = -1, atEnd = -1;
};

JsonLine configurationJson(const Options& o) {
    JsonLine json;
    json.add("mode", modeName(o.mode))
        .add("width", o.width)
        .add("height", o.height)
        .add("pins", o.pins)
        .add("help_page", o.helpPage)
        .add("clock", o.clockOn)
        .add("renderer", rendererName());
    return json;
}

void addMemory(JsonLine& json, const MemoryMarks& m) {
    json.add("rss_after_init_kib", m.afterInit)
        .add("rss_after_first_frame_kib", m.afterFirstFrame)
        .add("rss_after_warmup_kib", m.afterWarmUp)
        .add("rss_at_end_kib", m.atEnd)
        .add("rss_growth_after_warmup_kib", m.atEnd - m.afterWarmUp)
        .add("peak_rss_kib", peakResidentKib());
}

void warmUp(SteppedClock& clock, int frames, MemoryMarks& memory) {
    for (int n = 0; n < frames; ++n) {
        drawTurn(clock.tick(), 0);
        if (n == 0)
            memory.afterFirstFrame = residentKib();  // the driver's shaders compiled
    }
    memory.afterWarmUp = residentKib();
}

// The measured frames: nothing here allocates (the times go into storage made beforehand).
__attribute__((noinline)) void drawMeasuredFrames(SteppedClock& clock, std::vector<double>& ms) {
    CALLGRIND_START_INSTRUMENTATION;
    for (double& frameMs : ms)
        frameMs = drawTurn(clock.tick(), 0);
    CALLGRIND_STOP_INSTRUMENTATION;
}

void runFrames(const Options& o, MemoryMarks memory) {
    SteppedClock clock{kStartMs, kStepMs};
    warmUp(clock, o.warmup, memory);
    std::vector<double> ms(static_cast<size_t>(o.frames));
    const double wallStart = wallMs(), cpuStart = processCpuMs();
    drawMeasuredFrames(clock, ms);
    const double wallTotal = wallMs() - wallStart, cpuTotal = processCpuMs() - cpuStart;
    memory.atEnd = residentKib();
    JsonLine json = configurationJson(o);
    json.add("frames", o.frames)
        .add("fps", o.frames / (wallTotal * 1e-3))
        .add("median_ms", quantile(ms, 0.5))
        .add("p99_ms", quantile(ms, 0.99))
        .add("cpu_ms_per_frame", cpuTotal / o.frames);
    addMemory(json, memory);
    json.print();
}

// Pacing: a key command every few frames, in this cycle.
struct Command {
    unsigned char key;
    const char* event;  // the name its figures take
};
constexpr Command kPacingCycle[] = {{'>', "rebuild"}, {'<', "rebuild"},   {'p', "message"},
                                    {'p', "message"}, {'?', "help_open"}, {'?', "help_close"}};
constexpr int kPacingCycleLength = sizeof kPacingCycle / sizeof kPacingCycle[0];

struct PacedFrame {
    double ms = 0;                // wall clock
    double cpuMs = 0;             // CPU time of all the process's threads
    const char* event = nullptr;  // the command that ran in this turn, if any
    int afterEvent = 0;           // flag: the turn right after a command
    int helpShown = 0;            // the help page was drawn in this frame
};

// Wall and CPU times of a set of turns.
struct TurnTimes {
    std::vector<double> ms, cpuMs;
};

// The turns with `event` (offset 0), or the turns right after them (offset 1).
TurnTimes turnsWith(const std::vector<PacedFrame>& frames, const std::string& event,
                    size_t offset) {
    TurnTimes t;
    for (size_t n = 0; n + offset < frames.size(); ++n) {
        if (!frames[n].event || frames[n].event != event)
            continue;
        t.ms.push_back(frames[n + offset].ms);
        t.cpuMs.push_back(frames[n + offset].cpuMs);
    }
    return t;
}

// Median and worst of an event's turns, and worst of the turns after them, against the median
// of the plain frames.
void addEvent(JsonLine& json, const std::vector<PacedFrame>& frames, const std::string& name,
              const TurnTimes& plain) {
    const double baseMs = quantile(plain.ms, 0.5), baseCpu = quantile(plain.cpuMs, 0.5);
    const TurnTimes turn = turnsWith(frames, name, 0), next = turnsWith(frames, name, 1);
    json.add(name + "_turns", static_cast<double>(turn.ms.size()))
        .add(name + "_median_ratio", quantile(turn.ms, 0.5) / baseMs)
        .add(name + "_worst_ratio", quantile(turn.ms, 1.0) / baseMs)
        .add(name + "_cpu_worst_ratio", quantile(turn.cpuMs, 1.0) / baseCpu)
        .add(name + "_next_worst_ratio", quantile(next.ms, 1.0) / baseMs)
        .add(name + "_next_cpu_worst_ratio", quantile(next.cpuMs, 1.0) / baseCpu);
}

__attribute__((noinline)) void drawPacedFrames(const Options& o, SteppedClock& clock,
                                               std::vector<PacedFrame>& frames) {
    CALLGRIND_START_INSTRUMENTATION;
    int commandIndex = 0;
    for (size_t n = 0; n < frames.size(); ++n) {
        PacedFrame& f = frames[n];
        unsigned char key = 0;
        if (n % static_cast<size_t>(o.eventEvery) == static_cast<size_t>(o.eventEvery - 1)) {
            const Command& c = kPacingCycle[commandIndex++ % kPacingCycleLength];
            key = c.key;
            f.event = c.event;
        }
        f.afterEvent = n > 0 && frames[n - 1].event;
        const double cpuStart = processCpuMs();
        f.ms = drawTurn(clock.tick(), key);
        f.cpuMs = processCpuMs() - cpuStart;
        f.helpShown = helpShown;
    }
    CALLGRIND_STOP_INSTRUMENTATION;
}

void runPacing(const Options& o, MemoryMarks memory) {
    SteppedClock clock{kStartMs, kStepMs};
    warmUp(clock, o.warmup, memory);
    std::vector<PacedFrame> frames(static_cast<size_t>(o.frames));
    drawPacedFrames(o, clock, frames);
    memory.atEnd = residentKib();
    TurnTimes plain, help;  // turns with no command in or just before them
    for (const PacedFrame& f : frames) {
        if (f.event || f.afterEvent)
            continue;
        TurnTimes& t = f.helpShown ? help : plain;
        t.ms.push_back(f.ms);
        t.cpuMs.push_back(f.cpuMs);
    }
    const double baseMs = quantile(plain.ms, 0.5);
    JsonLine json = configurationJson(o);
    json.add("frames", o.frames)
        .add("plain_frames", static_cast<double>(plain.ms.size()))
        .add("median_ms", baseMs)
        .add("plain_p99_ratio", quantile(plain.ms, 0.99) / baseMs)
        .add("help_shown_ratio", quantile(help.ms, 0.5) / baseMs);
    for (const char* event : {"rebuild", "message", "help_open", "help_close"})
        addEvent(json, frames, event, plain);
    addMemory(json, memory);
    json.print();
}

// Start-up in the steps the bench takes, from main to the second swapped frame. initScene's
// own steps are told apart by callgrind (the part "share" of bench/run-all.sh).
void runStartup(const Options& o, const char* programName, double mainMs) {
    double mark = mainMs;
    auto lap = [&mark]() {
        const double now = wallMs(), spent = now - mark;
        mark = now;
        return spent;
    };
    startFrameClock();  // counts from main's first steps, as the program's does
    initToolkit(programName);
    const double glutInitMs = lap();
    openBenchWindow(o.width, o.height);
    const double windowMs = lap();
    const double cpuStart = processCpuMs();
    CALLGRIND_START_INSTRUMENTATION;
    initScene();
    CALLGRIND_STOP_INSTRUMENTATION;
    const double initSceneMs = lap(), initSceneCpuMs = processCpuMs() - cpuStart;
    applySceneOptions(o);
    const double firstFrameMs = drawTurn(frameClockMs(), 0);
    const double secondFrameMs = drawTurn(frameClockMs(), 0);
    JsonLine json = configurationJson(o);
    json.add("glut_init_ms", glutInitMs)
        .add("window_ms", windowMs)
        .add("init_scene_ms", initSceneMs)
        .add("init_scene_cpu_ms", initSceneCpuMs)
        .add("first_frame_ms", firstFrameMs)
        .add("second_frame_ms", secondFrameMs)
        .add("main_to_first_swap_ms", glutInitMs + windowMs + initSceneMs + firstFrameMs)
        .add("peak_rss_kib", peakResidentKib());
    json.print();
}
}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    const double mainMs = wallMs();
    const Options o = parseOptions(argc, argv);
    if (o.mode == startupMode) {
        runStartup(o, argv[0], mainMs);
        return 0;
    }
    initToolkit(argv[0]);
    openBenchWindow(o.width, o.height);
    initScene();
    MemoryMarks memory;
    memory.afterInit = residentKib();
    applySceneOptions(o);
    if (o.mode == pacingMode)
        runPacing(o, memory);
    else
        runFrames(o, memory);
    return 0;
}
