// Counting heap allocations while the bench's frames run, and which of them our code made.
#pragma once

namespace bench {

struct AllocationCounts {
    long all = 0;   // every malloc, calloc, realloc, memalign and operator new, any library
    long ours = 0;  // those called directly from code in this executable (the program's)
    const void* firstOurs = nullptr;  // return address of the first of ours, for addr2line
};

// Whether this build counts at all (varo-bench-alloc does, varo-bench does not).
bool countingAvailable();

// Counting runs only between start and stop; stop returns what was counted since start.
void startCounting();
AllocationCounts stopCounting();

}  // namespace bench
