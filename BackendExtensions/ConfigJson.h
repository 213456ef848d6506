// The JSON types of the configuration module. Every RapidJSON object the
// plug-in makes allocates through ThrowingAllocator. RapidJSON's own
// allocator answers an exhausted heap with a null pointer, which its parser,
// documents and schema code then write through; this one throws
// std::bad_alloc instead, which unwinds to the hook's catch and a false
// answer, freeing on the way what RapidJSON's objects hold.
#pragma once

#include <cstdlib>
#include <new>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vek::tools::kalder {

class ThrowingAllocator {
public:
    static const bool kNeedFree = true;
    void* Malloc(size_t size) { return size == 0 ? nullptr : orThrow(std::malloc(size)); }
    void* Realloc(void* original, size_t, size_t newSize) {
        if (newSize != 0) return orThrow(std::realloc(original, newSize));
        std::free(original);
        return nullptr;
    }
    static void Free(void* block) { std::free(block); }
    bool operator==(const ThrowingAllocator&) const { return true; }
    bool operator!=(const ThrowingAllocator&) const { return false; }

private:
    static void* orThrow(void* block) {
        if (block == nullptr) throw std::bad_alloc();
        return block;
    }
};

// Values are kept in pools: a pool frees all its blocks at once, also when
// an exception leaves the objects in it half built.
using JsonPool = rapidjson::MemoryPoolAllocator<ThrowingAllocator>;
using ConfigDocument = rapidjson::GenericDocument<rapidjson::UTF8<>, JsonPool, ThrowingAllocator>;
using ConfigValue = ConfigDocument::ValueType;
using JsonBuffer = rapidjson::GenericStringBuffer<rapidjson::UTF8<>, ThrowingAllocator>;
using JsonWriter = rapidjson::Writer<JsonBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>, ThrowingAllocator>;

}  // namespace vek::tools::kalder
