// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The structure of a text as it is being typed: every value with its
// place and, for a member, its name; read on past any mistake, so an
// editor's outline, folding and selection follow a broken file too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vek::lsp {

constexpr uint32_t kNoNode = UINT32_MAX;

struct OutlineNode {
    enum class Kind { Object, Array, String, Other };
    Kind kind = Kind::Other;
    size_t begin = 0, end = 0;              // the value: a token, or a container from its bracket to past its closing one
    size_t nameBegin = 0, nameEnd = 0;      // a member's name token; both 0 where there is none
    uint32_t parent = kNoNode;              // the container it lies in
    uint32_t firstChild = kNoNode, nextSibling = kNoNode;
    uint32_t depth = 0;                     // 0 for a value at the top
    bool named() const { return nameEnd > nameBegin; }
    bool container() const { return kind == Kind::Object || kind == Kind::Array; }
};

// Every value of the text in document order, a container before what it
// holds. A container never closed ends where the text does.
std::vector<OutlineNode> outlineOf(std::string_view text);

}  // namespace vek::lsp
