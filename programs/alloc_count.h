// Counting the heap allocations of this process: malloc, calloc and realloc are replaced by
// versions that count while counting is on. Not available under AddressSanitizer, which
// owns the allocator, nor in the WebAssembly build (its malloc is not glibc's);
// ALLOCATIONS_COUNTED says which.
#ifndef STARLANE_TOOLS_ALLOC_COUNT_H
#define STARLANE_TOOLS_ALLOC_COUNT_H

#if defined(__SANITIZE_ADDRESS__) || defined(__EMSCRIPTEN__)
#define ALLOCATIONS_COUNTED 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ALLOCATIONS_COUNTED 0
#endif
#endif
#ifndef ALLOCATIONS_COUNTED
#define ALLOCATIONS_COUNTED 1
#endif

extern volatile int countingAllocations; // nonzero: count
extern volatile long allocationCount;    // allocations counted so far

#endif
