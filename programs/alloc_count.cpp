#include "programs/alloc_count.h"

#include <stddef.h>

volatile int countingAllocations = 0;
volatile long allocationCount = 0;

#if ALLOCATIONS_COUNTED
// glibc's own entry points stay reachable under these names (reserved: they are glibc's).
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);
// NOLINTEND(bugprone-reserved-identifier)

void* malloc(size_t size)
{
    if (countingAllocations)
        allocationCount++;
    return __libc_malloc(size);
}

void* calloc(size_t n, size_t size)
{
    if (countingAllocations)
        allocationCount++;
    return __libc_calloc(n, size);
}

void* realloc(void* p, size_t size)
{
    if (countingAllocations)
        allocationCount++;
    return __libc_realloc(p, size);
}

void free(void* p)
{
    __libc_free(p);
}
}
#endif
