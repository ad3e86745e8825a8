// Clocks, memory readings and order statistics for the bench.
#pragma once

#include <vector>

namespace bench {

double wallMs();        // monotonic clock, milliseconds
double processCpuMs();  // CPU time of all the process's threads, milliseconds

long residentKib();      // resident memory now (/proc/self/statm), KiB
long peakResidentKib();  // peak resident memory (getrusage ru_maxrss), KiB

// The q-quantile (0..1) of `values`, nearest rank; sorts a copy. 0 for no values.
double quantile(std::vector<double> values, double q);

}  // namespace bench
