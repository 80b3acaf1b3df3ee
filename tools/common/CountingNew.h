// Allocation counting for the programs that check that a frame allocates
// nothing: linking CountingNew.cpp replaces the global operator new and
// delete by malloc/free versions that count every allocation.
#pragma once

#include <atomic>

extern std::atomic<long> heapAllocations;
// When set, called for every allocation with the address it was made from.
extern void (*onHeapAllocation)(const void* caller);
