// allocation_counter.h: counts every allocation made with operator new in
// the test executable, so a test can prove that frames allocate nothing.
// Replaces the global operator new and delete: include it in exactly one
// source file of an executable.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

inline std::atomic<long>& allocationCount()
{
    static std::atomic<long> count{0};
    return count;
}

// GCC pairs malloc with these deletes once it inlines them and warns,
// though malloc and free are exactly the pair that matches here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size)
{
    ++allocationCount();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++allocationCount();
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
