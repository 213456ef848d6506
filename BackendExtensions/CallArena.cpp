// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BackendExtensions/CallArena.h"

#include <cstdlib>
#include <cstring>

namespace vek::tools::kalder {

char CallPool::shared_ = 0;
thread_local CallArena* CallPool::current_ VEK_CALL_ARENA_TLS = nullptr;

namespace {

// Blocks keep RapidJSON's alignment (RAPIDJSON_ALIGN: 8 bytes).
constexpr size_t kAlign = 8;
size_t aligned(size_t size) { return (size + kAlign - 1) & ~(kAlign - 1); }

}  // namespace

struct CallArena::Chunk {
    Chunk* before;
    size_t capacity;
    size_t used;
    alignas(kAlign) char data[1];
};

CallArena::~CallArena() {
    while (chunk_ != nullptr) {
        Chunk* before = chunk_->before;
        std::free(chunk_);
        chunk_ = before;
    }
}

char* CallArena::take(size_t size) {
    if (chunk_ == nullptr || chunk_->capacity - chunk_->used < size) {
        const size_t capacity = size > chunkCapacity_ ? size : chunkCapacity_;
        auto* chunk = static_cast<Chunk*>(mallocOrThrow(offsetof(Chunk, data) + capacity));
        *chunk = Chunk{chunk_, capacity, 0, {}};
        chunk_ = chunk;
    }
    char* block = chunk_->data + chunk_->used;
    chunk_->used += size;
    return last_ = block;
}

void* CallArena::allocate(size_t size) { return size == 0 ? nullptr : take(aligned(size)); }

void* CallArena::reallocate(void* block, size_t size, size_t newSize) {
    if (block == nullptr) return allocate(newSize);
    if (newSize == 0) return nullptr;
    newSize = aligned(newSize);
    if (block == last_) {
        const size_t offset = static_cast<size_t>(last_ - chunk_->data);
        if (chunk_->capacity - offset >= newSize) {
            chunk_->used = offset + newSize;
            return block;
        }
    }
    if (aligned(size) >= newSize) return block;
    char* moved = take(newSize);
    std::memcpy(moved, block, size);
    return moved;
}

void CallArena::release(void* block) {
    if (block == nullptr || block != last_) return;
    chunk_->used = static_cast<size_t>(last_ - chunk_->data);
    last_ = nullptr;
}

}  // namespace vek::tools::kalder
