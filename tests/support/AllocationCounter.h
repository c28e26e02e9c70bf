// Counts every C++ allocation of the test program that includes it, by
// replacing the global operator new. Include it in exactly one file of a
// program, and compare AllocationCount() before and after the code that must
// not allocate.
#ifndef QUILLMAR_TESTS_SUPPORT_ALLOCATIONCOUNTER_H
#define QUILLMAR_TESTS_SUPPORT_ALLOCATIONCOUNTER_H

#include <atomic>
#include <cstdlib>
#include <new>

namespace qmtest {
inline std::atomic<long>& Allocations() {
    static std::atomic<long> count{0};
    return count;
}
inline long AllocationCount() { return Allocations().load(); }
}  // namespace qmtest

void* operator new(std::size_t size) {
    ++qmtest::Allocations();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

#endif
