// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The memory of one validation: RapidJSON's schema code allocates through
// CallPool, which draws on the arena of the validation running on this
// thread. The arena frees everything at once when the call ends, also what
// running out of memory left half built.
#pragma once

#include <cstddef>

#include "BackendExtensions/ConfigJson.h"

// The thread's arena lives in the static TLS block: a library loaded with
// dlopen would otherwise make glibc allocate a TLS slot for each thread on
// first use, and keep it until the thread ends (a block a leak checker shows
// still reachable at the host's exit).
#if defined(__ELF__)
#define VEK_CALL_ARENA_TLS __attribute__((tls_model("initial-exec")))
#else
#define VEK_CALL_ARENA_TLS
#endif

namespace vek::tools::kalder {

// Blocks handed out in order from chunks of the C heap. The block handed
// out last can be given back or grown in place: RapidJSON's current sources
// copy a schema pointer for every value they validate and free the copy
// right after, and a plain pool would keep each copy until the end.
class CallArena {
public:
    explicit CallArena(size_t chunkCapacity) : chunkCapacity_(chunkCapacity) {}
    ~CallArena();
    CallArena(const CallArena&) = delete;
    CallArena& operator=(const CallArena&) = delete;

    void* allocate(size_t size);
    void* reallocate(void* block, size_t size, size_t newSize);
    void release(void* block);

private:
    struct Chunk;
    char* take(size_t size);

    size_t chunkCapacity_;
    Chunk* chunk_ = nullptr;  // the newest; each holds the one before
    char* last_ = nullptr;    // the block handed out last, while it can be given back
};

// RapidJSON's allocator concept over the current arena. RapidJSON's current
// sources also make allocators of their own, with new, for the pointer
// copies; when a copy then runs out of memory its constructor throws and
// nothing deletes that allocator. This one holds nothing of its own, and the
// object itself needs no memory: it has no state, so every one of them may
// be the same.
class CallPool {
public:
    static const bool kNeedFree = false;
    static void* operator new(size_t) noexcept { return &shared_; }
    static void operator delete(void*) noexcept {}

    void* Malloc(size_t size) { return current_->allocate(size); }
    void* Realloc(void* block, size_t size, size_t newSize) { return current_->reallocate(block, size, newSize); }
    // RapidJSON 1.1.0 keeps one schema of its own in a static, which frees
    // its (null) blocks at the process's exit, outside any validation.
    static void Free(void* block) {
        if (current_ != nullptr) current_->release(block);
    }
    bool operator==(const CallPool&) const { return true; }
    bool operator!=(const CallPool&) const { return false; }

    // Makes `arena` the one this thread's schema code draws on, for its life.
    class Scope {
    public:
        explicit Scope(CallArena& arena) : previous_(current_) { current_ = &arena; }
        ~Scope() { current_ = previous_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CallArena* previous_;
    };

private:
    static char shared_;
    static thread_local CallArena* current_ VEK_CALL_ARENA_TLS;
};

}  // namespace vek::tools::kalder
