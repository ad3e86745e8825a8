// Counting heap allocations while the bench's frames run, and which of them our code made.
//
// This executable defines malloc and its kin (and operator new), so every library in the
// process allocates through here; each call counts, then goes on to the C library's own
// allocator. A call whose return address lies in this executable's code was made by the
// program itself (the bench's loop allocates nothing while counting).
#include <errno.h>

#include <atomic>
#include <cstddef>
#include <new>

#include "bench/alloc_counter.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
extern char __executable_start[];  // the executable's first byte...
extern char etext[];               // ...and the end of its code, from the linker
}

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allCount{0};
std::atomic<long> ourCount{0};
std::atomic<const void*> firstOurs{nullptr};

void note(const void* caller) {
    if (!counting.load(std::memory_order_relaxed))
        return;
    allCount.fetch_add(1, std::memory_order_relaxed);
    if (caller >= static_cast<const void*>(__executable_start) &&
        caller < static_cast<const void*>(etext)) {
        if (ourCount.fetch_add(1, std::memory_order_relaxed) == 0)
            firstOurs.store(caller, std::memory_order_relaxed);
    }
}

void* newBlock(size_t size, const void* caller) {
    note(caller);
    void* block = __libc_malloc(size != 0 ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void* newAlignedBlock(size_t size, std::align_val_t alignment, const void* caller) {
    note(caller);
    void* block = __libc_memalign(static_cast<size_t>(alignment), size != 0 ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}
}  // namespace

namespace bench {

bool countingAvailable() {
    return true;
}

void startCounting() {
    allCount = 0;
    ourCount = 0;
    firstOurs = nullptr;
    counting = true;
}

AllocationCounts stopCounting() {
    counting = false;
    AllocationCounts counts;
    counts.all = allCount;
    counts.ours = ourCount;
    counts.firstOurs = firstOurs;
    return counts;
}

}  // namespace bench

extern "C" {
void* malloc(size_t size) {
    note(__builtin_return_address(0));
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    note(__builtin_return_address(0));
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
    note(__builtin_return_address(0));
    return __libc_realloc(block, size);
}

void* memalign(size_t alignment, size_t size) {
    note(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    note(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, size_t alignment, size_t size) {
    note(__builtin_return_address(0));
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* p = __libc_memalign(alignment, size);
    if (!p)
        return ENOMEM;
    *block = p;
    return 0;
}
}

void* operator new(size_t size) {
    return newBlock(size, __builtin_return_address(0));
}
void* operator new[](size_t size) {
    return newBlock(size, __builtin_return_address(0));
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    note(__builtin_return_address(0));
    return __libc_malloc(size != 0 ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    note(__builtin_return_address(0));
    return __libc_malloc(size != 0 ? size : 1);
}
void* operator new(size_t size, std::align_val_t alignment) {
    return newAlignedBlock(size, alignment, __builtin_return_address(0));
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return newAlignedBlock(size, alignment, __builtin_return_address(0));
}
