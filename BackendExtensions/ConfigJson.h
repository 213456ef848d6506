// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The JSON types of the configuration module. Every allocation RapidJSON
// makes for the plug-in fails by throwing std::bad_alloc, which unwinds to
// the hook's catch and a false answer, freeing on the way what RapidJSON's
// objects hold. RapidJSON answers an exhausted heap with a null pointer
// otherwise, which its parser, documents and schema code then write through:
// - the objects the plug-in makes allocate through ThrowingAllocator;
// - RapidJSON's current sources also make buffers of their own with
//   CrtAllocator (the schema document's and validator's pointers and
//   strings), which reach the C heap through RAPIDJSON_MALLOC and
//   RAPIDJSON_REALLOC: those are routed here too. RapidJSON 1.1.0 has no
//   such buffers and ignores the two names.
// The names must be set before RapidJSON's first header: every plug-in file
// includes this one first.
#pragma once

#if defined(RAPIDJSON_RAPIDJSON_H_) && !defined(VEK_JSON_ALLOCATION_ROUTED)
#error "BackendExtensions/ConfigJson.h must come before any RapidJSON header"
#endif
#define VEK_JSON_ALLOCATION_ROUTED 1

#include <cstdlib>
#include <new>

namespace vek::tools::kalder {

inline void* mallocOrThrow(size_t size) {
    void* block = std::malloc(size);
    if (block == nullptr && size != 0) throw std::bad_alloc();
    return block;
}

inline void* reallocOrThrow(void* original, size_t size) {
    void* block = std::realloc(original, size);
    if (block == nullptr && size != 0) throw std::bad_alloc();
    return block;
}

}  // namespace vek::tools::kalder

#define RAPIDJSON_MALLOC(size) ::vek::tools::kalder::mallocOrThrow(size)
#define RAPIDJSON_REALLOC(block, size) ::vek::tools::kalder::reallocOrThrow(block, size)

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vek::tools::kalder {

class ThrowingAllocator {
public:
    static const bool kNeedFree = true;
    // RapidJSON's current sources make allocators of their own with new (a
    // pool's base allocator, a pointer's copy), and leak that one when the
    // pool's first block then cannot be had. This allocator has no state:
    // every object of it may be the same one, which needs no memory.
    static void* operator new(size_t) noexcept { return &shared_; }
    static void operator delete(void*) noexcept {}
    void* Malloc(size_t size) { return size == 0 ? nullptr : mallocOrThrow(size); }
    void* Realloc(void* original, size_t, size_t newSize) {
        if (newSize != 0) return reallocOrThrow(original, newSize);
        std::free(original);
        return nullptr;
    }
    static void Free(void* block) { std::free(block); }
    bool operator==(const ThrowingAllocator&) const { return true; }
    bool operator!=(const ThrowingAllocator&) const { return false; }

private:
    static char shared_;
};
inline char ThrowingAllocator::shared_ = 0;

// Values are kept in pools: a pool frees all its blocks at once, also when
// an exception leaves the objects in it half built.
using JsonPool = rapidjson::MemoryPoolAllocator<ThrowingAllocator>;
using ConfigDocument = rapidjson::GenericDocument<rapidjson::UTF8<>, JsonPool, ThrowingAllocator>;
using ConfigValue = ConfigDocument::ValueType;
using JsonBuffer = rapidjson::GenericStringBuffer<rapidjson::UTF8<>, ThrowingAllocator>;
using JsonWriter = rapidjson::Writer<JsonBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>, ThrowingAllocator>;

}  // namespace vek::tools::kalder
