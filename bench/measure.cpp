// Clocks, memory readings and order statistics for the bench, and its one result line.
#include "bench/measure.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace bench {
namespace {
double readClockMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}
}  // namespace

double wallMs() {
    return readClockMs(CLOCK_MONOTONIC);
}

double processCpuMs() {
    return readClockMs(CLOCK_PROCESS_CPUTIME_ID);
}

long residentKib() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return -1;
    int got = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    return got == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

long peakResidentKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // KiB on Linux
}

double quantile(std::vector<double> values, double q) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    auto rank = static_cast<size_t>(std::ceil(q * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

JsonLine& JsonLine::add(const std::string& key, const char* value) {
    text_ += (text_.empty() ? "{\"" : ",\"") + key + "\":\"";
    for (const char* c = value; *c; ++c) {
        if (*c == '"' || *c == '\\')
            text_ += '\\';
        if (static_cast<unsigned char>(*c) >= 0x20)
            text_ += *c;
    }
    text_ += '"';
    return *this;
}

JsonLine& JsonLine::add(const std::string& key, double value) {
    char number[32];
    std::snprintf(number, sizeof number, "%.9g", value);
    text_ += (text_.empty() ? "{\"" : ",\"") + key + "\":" + number;
    return *this;
}

void JsonLine::print() const {
    std::printf("%s}\n", text_.empty() ? "{" : text_.c_str());
    std::fflush(stdout);
}

}  // namespace bench
