// The decode benchmark: one picture file decoded N times as --picture reads it, one JSON line.
// The line gives the median time a decode takes (wall clock and processor), the refusal if any,
// and the resident memory before the first decode and at its peak (docs/PERFORMANCE.md).
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/json_line.h"
#include "bench/measure.h"
#include "images/picture_file.h"

namespace {
int usage(const char* program) {
    std::fprintf(stderr, "usage: %s FILE [DECODES]   (DECODES: 1 or more, default 10)\n", program);
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3)
        return usage(argv[0]);
    char* end = nullptr;
    const long decodes = argc == 3 ? std::strtol(argv[2], &end, 10) : 10;
    if (decodes < 1 || (end != nullptr && *end != '\0'))
        return usage(argv[0]);

    static PictureBlock block;  // 64 KiB, as the program keeps its own
    Refusal reason = "";
    bool shown = false;
    std::vector<double> times, processorTimes;
    const long residentBefore = bench::residentKib();  // the program alone, before any decode
    for (long n = 0; n < decodes; ++n) {
        const double start = bench::wallMs(), processorStart = bench::processCpuMs();
        shown = readPictureFile(argv[1], block, reason);
        times.push_back(bench::wallMs() - start);
        processorTimes.push_back(bench::processCpuMs() - processorStart);
    }
    bench::JsonLine()
        .add("file", argv[1])
        .add("decodes", decodes)
        .add("median_ms", bench::quantile(times, 0.5))
        .add("max_ms", bench::quantile(times, 1))
        .add("median_cpu_ms", bench::quantile(processorTimes, 0.5))
        .add("refusal", shown ? "" : reason)
        .add("resident_before_kib", residentBefore)
        .add("peak_resident_kib", bench::peakResidentKib())
        .print();
    return 0;
}
