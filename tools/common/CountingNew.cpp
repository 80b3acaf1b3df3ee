// Counting replacements of the global operator new and delete.
#include "tools/common/CountingNew.h"

#include <cstdlib>
#include <new>

std::atomic<long> heapAllocations{0};
void (*onHeapAllocation)(const void* caller) = nullptr;

namespace {
void* allocate(std::size_t size, const void* caller) {
    heapAllocations++;
    if (onHeapAllocation) onHeapAllocation(caller);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return allocate(size, __builtin_return_address(0));
}
void* operator new[](std::size_t size) {
    return allocate(size, __builtin_return_address(0));
}
// GCC sees free() after inlining the replaced new into a caller and warns of
// a mismatch; the pair here is malloc/free on both sides.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}
