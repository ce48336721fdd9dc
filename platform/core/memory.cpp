// Every allocation of the program goes through here, so that a failed one ends in the run-time
// error stop with the number of bytes that was asked for, not in an exception that loses it.
#include <cstdlib>
#include <new>

#include "runtime_error.h"

namespace {

void* Allocate(std::size_t bytes, std::size_t alignment) {
    const std::size_t asked = bytes == 0 ? 1 : bytes;
    void* block = nullptr;
    if (alignment <= alignof(std::max_align_t)) {
        block = std::malloc(asked);
    } else {
        // aligned_alloc wants a size that is a multiple of the alignment.
        const std::size_t rounded = (asked + alignment - 1) / alignment * alignment;
        if (rounded >= asked) block = std::aligned_alloc(alignment, rounded);
    }
    if (!block) xl::RuntimeErrorStop(0, xl::OutOfMemoryMessage(bytes));
    return block;
}

}  // namespace

void* operator new(std::size_t bytes) { return Allocate(bytes, 0); }
void* operator new[](std::size_t bytes) { return Allocate(bytes, 0); }
void* operator new(std::size_t bytes, std::align_val_t al) {
    return Allocate(bytes, static_cast<std::size_t>(al));
}
void* operator new[](std::size_t bytes, std::align_val_t al) {
    return Allocate(bytes, static_cast<std::size_t>(al));
}
// The nothrow forms keep their promise of a null result: the standard library asks with them
// where it has a fallback for less memory.
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    return std::malloc(bytes == 0 ? 1 : bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
