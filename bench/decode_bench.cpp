// The decode benchmark: one picture file decoded N times as --picture reads it, one JSON line
// with the median time a decode takes (wall clock and processor), the refusal if any, and the
// resident memory before the first decode and at its peak (docs/PERFORMANCE.md).
//   varo-bench-decode FILE [DECODES]   (default 10)
#include <cstdlib>
#include <vector>

#include "bench/measure.h"
#include "images/picture_file.h"

int main(int argc, char** argv) {
    const long decodes = argc > 2 ? std::atol(argv[2]) : 10;
    if (argc < 2 || decodes < 1)
        return 2;
    static PictureBlock block;
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
        .add("median_ms", bench::quantile(times, 0.5))
        .add("median_cpu_ms", bench::quantile(processorTimes, 0.5))
        .add("refusal", shown ? "" : reason)
        .add("resident_before_kib", residentBefore)
        .add("peak_resident_kib", bench::peakResidentKib())
        .print();
}
