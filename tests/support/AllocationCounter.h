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

// Not inlined: GCC would otherwise see malloc() and free() meet operator new
// and delete at the call sites and warn of a mismatch (the pairs match here).
#if defined(__GNUC__)
#  define QM_NOINLINE __attribute__((noinline))
#else
#  define QM_NOINLINE
#endif
QM_NOINLINE void* operator new(std::size_t size) {
    ++qmtest::Allocations();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
QM_NOINLINE void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++qmtest::Allocations();
    return std::malloc(size ? size : 1);
}
QM_NOINLINE void operator delete(void* p) noexcept { std::free(p); }
QM_NOINLINE void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#undef QM_NOINLINE

#endif
