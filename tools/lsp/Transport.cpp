// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Transport.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace vek::lsp {
namespace {

constexpr size_t kLongestHeaderLine = 1000;
constexpr size_t kChunk = size_t{1} << 20;
constexpr std::string_view kLengthName = "content-length:";

// Where "Content-Length:" starts in `line`, in any case; npos when it does not.
size_t lengthHeaderAt(std::string_view line) {
    if (line.size() < kLengthName.size()) return std::string_view::npos;
    for (size_t at = 0; at + kLengthName.size() <= line.size(); ++at) {
        size_t i = 0;
        while (i < kLengthName.size() && std::tolower(static_cast<unsigned char>(line[at + i])) == kLengthName[i]) ++i;
        if (i == kLengthName.size()) return at;
    }
    return std::string_view::npos;
}

// The value of a Content-Length header: decimal digits between spaces, no
// larger than a size; false for anything else.
bool lengthValue(std::string_view text, size_t& length) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty() || text.size() > 18) return false;
    length = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        length = length * 10 + static_cast<size_t>(c - '0');
    }
    return true;
}

}  // namespace

bool MessageReader::readLine(std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    int c;
    bool any = false;
    while ((c = std::getc(in_)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line.size() < kLongestHeaderLine) line += static_cast<char>(c);
        else tooLong = true;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

bool MessageReader::readBody(size_t length, std::string& body) {
    // Grown as the bytes come, so a header promising more than is sent
    // costs no more than what was sent.
    body.clear();
    while (body.size() < length) {
        const size_t want = std::min(kChunk, length - body.size());
        const size_t had = body.size();
        body.resize(had + want);
        const size_t got = std::fread(&body[had], 1, want, in_);
        body.resize(had + got);
        if (got < want) return false;
    }
    return true;
}

bool MessageReader::skip(size_t length) {
    char buffer[65536];
    while (length > 0) {
        const size_t want = std::min(length, sizeof buffer);
        const size_t got = std::fread(buffer, 1, want, in_);
        length -= got;
        if (got < want) return false;
    }
    return true;
}

bool MessageReader::readHeader(Header& header) {
    std::string line;
    bool tooLong = false, anyLine = false;
    while (true) {
        if (!readLine(line, tooLong)) {
            header.midMessage = anyLine;
            return false;
        }
        if (line.empty() && !tooLong) {
            if (!anyLine) continue;  // blank lines between messages
            return true;
        }
        anyLine = true;
        const size_t at = tooLong ? std::string_view::npos : lengthHeaderAt(line);
        if (at == std::string_view::npos) {
            // Another header ("Content-Type: ..."), or bytes that are no header.
            const size_t colon = line.find(':');
            const bool named = !tooLong && colon != std::string::npos && colon > 0 &&
                               std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon),
                                           [](unsigned char c) { return std::isalnum(c) || c == '-'; });
            if (!named && header.stray.empty()) header.stray = tooLong ? "a line of over 1,000 bytes" : "\"" + line.substr(0, 60) + "\"";
            continue;
        }
        // Bytes before the header (the rest of a message sent without one)
        // are skipped; the header starts a message of its own.
        if (at > 0 && header.stray.empty()) header.stray = "\"" + line.substr(0, std::min<size_t>(at, 60)) + "\"";
        header.badLength = !lengthValue(std::string_view(line).substr(at + kLengthName.size()), header.length);
        header.haveLength = header.haveLength || !header.badLength;
    }
}

Incoming MessageReader::next() {
    Incoming incoming;
    Header header;
    if (!readHeader(header)) {
        incoming.midMessage = header.midMessage;
        return incoming;
    }
    const std::string before = header.stray.empty() ? "" : "bytes that are no message header were skipped: " + header.stray;
    if (!header.haveLength || header.badLength) {
        incoming.kind = Incoming::Kind::Problem;
        incoming.problem = header.badLength ? "a message header whose Content-Length is no length was skipped"
                                            : "a message header without Content-Length was skipped";
        if (!before.empty()) incoming.problem += "; " + before;
        return incoming;
    }
    if (header.length > kLargestMessage) {
        if (!skip(header.length)) {
            incoming.midMessage = true;
            return incoming;
        }
        incoming.kind = Incoming::Kind::Problem;
        incoming.problem = "a message of " + std::to_string(header.length) + " bytes was skipped: the server reads messages of up to " +
                           std::to_string(kLargestMessage >> 20) + " MiB";
        return incoming;
    }
    if (!readBody(header.length, incoming.body)) {
        incoming.midMessage = true;
        incoming.body.clear();
        return incoming;
    }
    incoming.kind = Incoming::Kind::Body;
    incoming.problem = before;
    return incoming;
}

bool writeMessage(std::FILE* out, std::string_view body) {
    const std::string header = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    return std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
           std::fwrite(body.data(), 1, body.size(), out) == body.size() && std::fflush(out) == 0;
}

}  // namespace vek::lsp
