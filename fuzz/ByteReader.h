// Choices read from a fuzzer's bytes, front to back. Past the end every
// choice is the first one, so every input ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vek::fuzz {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return size_ == 0; }

    // A number from 0 to count - 1 (count at most 256).
    size_t pick(size_t count) {
        if (size_ == 0) return 0;
        --size_;
        return *data_++ % count;
    }
    bool flip() { return pick(2) == 1; }
    template <typename T, size_t N>
    T pickFrom(const T (&values)[N]) {
        return values[pick(N)];
    }
    // Up to `maxLength` bytes as text.
    std::string text(size_t maxLength) {
        size_t length = pick(maxLength + 1);
        if (length > size_) length = size_;
        std::string out(reinterpret_cast<const char*>(data_), length);
        data_ += length;
        size_ -= length;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

}  // namespace vek::fuzz
