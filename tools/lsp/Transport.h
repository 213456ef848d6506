// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Language Server Protocol messages on a byte stream: a header block
// ("Content-Length: N", any other header ignored), an empty line, then N
// bytes of JSON.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace vek::lsp {

// The largest message read; a larger one is skipped, unread, and said so.
constexpr size_t kLargestMessage = size_t{256} << 20;

struct Incoming {
    enum class Kind { Body, Problem, End };
    Kind kind = Kind::End;
    std::string body;
    // Body: what was wrong before it (bytes that were no header), if
    // anything. Problem: what was wrong with a message that was skipped;
    // the stream goes on after it.
    std::string problem;
    bool midMessage = false;  // End: the stream ended inside a message
};

class MessageReader {
public:
    explicit MessageReader(std::FILE* in) : in_(in) {}
    // Blocks until a message, a problem or the end of the stream.
    Incoming next();

private:
    struct Header {
        bool haveLength = false, badLength = false;
        size_t length = 0;
        std::string stray;        // bytes that were no header, as shown
        bool midMessage = false;  // the stream ended inside the header
    };
    // The header block up to its empty line; false at the end of the stream.
    bool readHeader(Header& header);
    // A line without its line break, cut at 1,000 bytes; false at the end.
    bool readLine(std::string& line, bool& tooLong);
    bool readBody(size_t length, std::string& body);
    bool skip(size_t length);

    std::FILE* in_;
};

// The message with its header, written and flushed; false when the stream
// is gone (the client closed its end).
bool writeMessage(std::FILE* out, std::string_view body);

}  // namespace vek::lsp
