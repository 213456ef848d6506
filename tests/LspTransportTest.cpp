// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The language server's framing, read from a real stream: what each run of
// bytes a client may send becomes, message by message, to the stream's end.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Transport.h"

namespace vek::test {
namespace {

// One line per thing read: "body TEXT", "problem TEXT", "end" or "end inside
// a message"; a body's problem follows it after " | ".
std::string readAll(const std::string& bytes) {
    std::FILE* in = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), in);
    std::rewind(in);
    lsp::MessageReader reader(in);
    std::string out;
    for (int i = 0; i < 10; ++i) {
        const lsp::Incoming incoming = reader.next();
        switch (incoming.kind) {
            case lsp::Incoming::Kind::Body:
                out += "body " + incoming.body + (incoming.problem.empty() ? "" : " | " + incoming.problem) + "\n";
                continue;
            case lsp::Incoming::Kind::Problem:
                out += "problem " + incoming.problem + "\n";
                continue;
            case lsp::Incoming::Kind::End:
                out += incoming.midMessage ? "end inside a message\n" : "end\n";
                break;
        }
        break;
    }
    std::fclose(in);
    return out;
}

TEST(LspTransport, FramesMessagesAndSaysWhatItSkipped) {
    struct Case {
        std::string name, bytes, read;
    };
    const std::string padding(1500, 'a');
    const Case cases[] = {
        {"two messages", "Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]", "body {}\nbody [1]\nend\n"},
        {"bare line feeds, blank lines between, any case, other headers",
         "content-length: 2\n\n{}\r\n\r\nContent-Type: application/json\r\nCONTENT-LENGTH:  3 \r\n\r\n[1]", "body {}\nbody [1]\nend\n"},
        {"a header without Content-Length", "Content-Type: x\r\n\r\nContent-Length: 2\r\n\r\n{}",
         "problem a message header without Content-Length was skipped\nbody {}\nend\n"},
        {"a length that is no number", "Content-Length: 2x\r\n\r\n", "problem a message header whose Content-Length is no length was skipped\nend\n"},
        {"a negative length", "Content-Length: -5\r\n\r\n", "problem a message header whose Content-Length is no length was skipped\nend\n"},
        {"a body without a header, then a message", "{\"id\":1}Content-Length: 2\r\n\r\n{}",
         "body {} | bytes that are no message header were skipped: \"{\"id\":1}\"\nend\n"},
        {"a line of stray bytes", "hello\r\nContent-Length: 2\r\n\r\n{}", "body {} | bytes that are no message header were skipped: \"hello\"\nend\n"},
        {"a header line over 1,000 bytes", "X-Padding: " + padding + "\r\nContent-Length: 2\r\n\r\n{}",
         "body {} | bytes that are no message header were skipped: a line of over 1,000 bytes\nend\n"},
        {"the end inside a header", "Content-Length: 2\r\n", "end inside a message\n"},
        {"the end inside a body", "Content-Length: 20\r\n\r\n{\"id\"", "end inside a message\n"},
        {"a message over the largest, cut short", "Content-Length: 300000000\r\n\r\n", "end inside a message\n"},
        {"a body of 1,500 bytes", "Content-Length: 1502\r\n\r\n\"" + padding + "\"", "body \"" + padding + "\"\nend\n"},
        {"nothing", "", "end\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.bytes), c.read) << c.name;
}

}  // namespace
}  // namespace vek::test
