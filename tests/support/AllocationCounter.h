#pragma once

// Counts calls to the global operator new. AllocationCounter.cpp replaces the
// global allocation functions, which a program may do only once: compile it
// into an allocation-count test executable of its own, never into a library.

// Whose allocations count: the calling thread's alone (a GL driver's worker
// threads allocate on a schedule of their own), or every thread's.
enum class AllocationScope { ThisThread, AllThreads };

void StartCountingAllocations(AllocationScope scope);
void StopCountingAllocations();
void ResetAllocationCount();
long AllocationCount();
