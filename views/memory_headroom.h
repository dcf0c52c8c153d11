#pragma once
// Qt's own containers do not all survive a failed allocation: a tree or list
// that grows until memory runs out may crash inside Qt instead of throwing.
// Code that grows such structures by the thousand asks now and then whether
// there is still room, and stops with std::bad_alloc while there is, so that
// its caller can give the memory back and tell the user.

#include <sys/mman.h>

#include <cstddef>
#include <new>

// Throws std::bad_alloc unless `bytes` more of address space can be had.
inline void EnsureMemoryHeadroom(size_t bytes = size_t{64} << 20) {
    void* probe = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (probe == MAP_FAILED) throw std::bad_alloc();
    ::munmap(probe, bytes);
}
