// The plain bench counts no allocations, so that its frames run the allocator untouched.
#include "bench/alloc_counter.h"

namespace bench {

bool countingAvailable() {
    return false;
}
void startCounting() {}
AllocationCounts stopCounting() {
    return {};
}

}  // namespace bench
