// Clocks, memory readings and order statistics for the bench, and its one result line.
#pragma once

#include <string>
#include <vector>

namespace bench {

double wallMs();        // monotonic clock, milliseconds
double processCpuMs();  // CPU time of all the process's threads, milliseconds

long residentKib();      // resident memory now (/proc/self/statm), KiB
long peakResidentKib();  // peak resident memory (getrusage ru_maxrss), KiB

// The q-quantile (0..1) of `values`, nearest rank; sorts a copy. 0 for no values.
double quantile(std::vector<double> values, double q);

// One machine-readable result line: a flat JSON object, printed on its own line.
class JsonLine {
public:
    JsonLine& add(const std::string& key, const char* value);
    JsonLine& add(const std::string& key, double value);  // whole numbers print without a point
    void print() const;                                   // to standard output, with a newline

private:
    std::string text_;
};

}  // namespace bench
