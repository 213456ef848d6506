// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A list of texts stored back to back in one block, each NUL-terminated.
// Millions of graph names cost their characters and an offset each, instead
// of a string object and a heap block each.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace vek::gpu {

class TextList {
public:
    // Appends a copy of `text`. May move the texts already stored, so take
    // their addresses only once the list is complete. Running out of memory
    // leaves the list as it was.
    void push_back(std::string_view text) {
        const size_t offset = chars_.size();
        const size_t needed = offset + text.size() + 1;
        if (needed > chars_.capacity()) chars_.reserve(std::max(needed, 2 * chars_.capacity()));
        chars_.insert(chars_.end(), text.begin(), text.end());  // within capacity: cannot fail
        chars_.push_back('\0');
        try {
            offsets_.push_back(offset);
        } catch (...) {
            chars_.resize(offset);
            throw;
        }
    }
    // Room for `texts` more texts of `chars` characters in all, NULs included.
    void reserve(size_t texts, size_t chars) {
        offsets_.reserve(offsets_.size() + texts);
        chars_.reserve(chars_.size() + chars);
    }
    const char* operator[](size_t index) const { return chars_.data() + offsets_[index]; }
    const char* back() const { return (*this)[offsets_.size() - 1]; }
    size_t size() const { return offsets_.size(); }
    bool empty() const { return offsets_.empty(); }
    void clear() {
        chars_.clear();
        offsets_.clear();
    }

private:
    std::vector<char> chars_;
    std::vector<size_t> offsets_;
};

}  // namespace vek::gpu
