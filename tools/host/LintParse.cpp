// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "LintParse.h"

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include "BackendExtensions/ConfigFile.h"

namespace vek::host {
namespace {

using tools::kalder::JsonLimit;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The text as a parser input stream that remembers where the token it took
// last began: the opening quote of a string, the bracket of an array or
// object, the first character of a number or literal.
class TrackingStream {
public:
    using Ch = char;
    explicit TrackingStream(std::string_view text) : text_(text) {}

    Ch Peek() const { return position_ < text_.size() ? text_[position_] : '\0'; }
    Ch Take() {
        const Ch c = Peek();
        if (position_ < text_.size()) track(c, position_++);
        return c;
    }
    size_t Tell() const { return position_; }
    size_t tokenStart() const { return tokenStart_; }

    // Writing is never asked for: the text is not parsed in place.
    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    size_t PutEnd(Ch*) { return 0; }

private:
    void track(char c, size_t at) {
        if (inString_) {
            if (escaped_) escaped_ = false;
            else if (c == '\\') escaped_ = true;
            else if (c == '"') inString_ = false;
            afterBoundary_ = !inString_;
            return;
        }
        const bool boundary = isSpace(c) || c == ',' || c == ':' || c == ']' || c == '}';
        if (c == '"' || c == '[' || c == '{' || (!boundary && afterBoundary_)) tokenStart_ = at;
        inString_ = c == '"';
        afterBoundary_ = boundary || c == '[' || c == '{';
    }

    std::string_view text_;
    size_t position_ = 0;
    size_t tokenStart_ = 0;
    bool inString_ = false;
    bool escaped_ = false;
    bool afterBoundary_ = true;
};

// Builds the document and, beside it, the place of every value and key.
class Recorder {
public:
    Recorder(tools::kalder::ConfigDocument& document, const TrackingStream& stream, std::vector<Spot>& spots)
        : document_(document), stream_(stream), spots_(spots) {}

    bool Null() { return value() && document_.Null(); }
    bool Bool(bool b) { return value() && document_.Bool(b); }
    bool Int(int i) { return value() && document_.Int(i); }
    bool Uint(unsigned u) { return value() && document_.Uint(u); }
    bool Int64(int64_t i) { return value() && document_.Int64(i); }
    bool Uint64(uint64_t u) { return value() && document_.Uint64(u); }
    bool Double(double d) { return value() && document_.Double(d); }
    bool RawNumber(const char* text, rapidjson::SizeType length, bool copy) {
        return value() && document_.RawNumber(text, length, copy);
    }
    bool String(const char* text, rapidjson::SizeType length, bool copy) {
        return value() && document_.String(text, length, copy);
    }
    // The parser calls these before it takes the bracket: the value starts there.
    bool StartObject() { return container() && document_.StartObject(); }
    bool Key(const char* text, rapidjson::SizeType length, bool copy) {
        key_ = static_cast<uint32_t>(stream_.tokenStart());
        return document_.Key(text, length, copy);
    }
    bool EndObject(rapidjson::SizeType members) { return document_.EndObject(members); }
    bool StartArray() { return container() && document_.StartArray(); }
    bool EndArray(rapidjson::SizeType elements) { return document_.EndArray(elements); }

private:
    bool value() { return record(stream_.tokenStart()); }
    bool container() { return record(stream_.Tell()); }
    bool record(size_t start) {
        spots_.push_back(Spot{static_cast<uint32_t>(start), key_});
        key_ = kNoKey;
        return true;
    }

    tools::kalder::ConfigDocument& document_;
    const TrackingStream& stream_;
    std::vector<Spot>& spots_;
    uint32_t key_ = kNoKey;
};

std::string limitMessage(JsonLimit limit) {
    using namespace tools::kalder;
    switch (limit) {
        case JsonLimit::Depth:
            return "arrays and objects nested deeper than " + std::to_string(VEK_CONFIG_MAX_DEPTH) +
                   " levels, the plug-in's limit";
        case JsonLimit::NumberLength:
            return "a number longer than " + std::to_string(VEK_CONFIG_MAX_NUMBER_LENGTH) +
                   " characters, the plug-in's limit";
        case JsonLimit::ExponentDigits:
            return "an exponent of more than " + std::to_string(VEK_CONFIG_MAX_EXPONENT_DIGITS) +
                   " digits, the plug-in's limit";
        case JsonLimit::LoneSurrogate:
            return "a string holds a low surrogate escape (\\udc00 to \\udfff) without a high one before it";
        case JsonLimit::NulByte: return "a NUL byte; the file is read as it is, and JSON text holds none";
        case JsonLimit::None: break;
    }
    return "";
}

size_t lastNonSpaceBefore(std::string_view text, size_t offset) {
    while (offset > 0) {
        if (!isSpace(text[--offset])) return offset;
    }
    return std::string_view::npos;
}

bool startsWith(std::string_view text, size_t offset, std::string_view word) {
    return offset <= text.size() && text.substr(offset, word.size()) == word;
}

// A file saved as UTF-16: its byte-order mark, or the zero bytes of ASCII text.
const char* utf16Kind(std::string_view text) {
    if (startsWith(text, 0, "\xFF\xFE")) return "with a little-endian byte-order mark";
    if (startsWith(text, 0, "\xFE\xFF")) return "with a big-endian byte-order mark";
    if (text.size() >= 2 && (text[0] == '\0') != (text[1] == '\0')) return "without a byte-order mark";
    return nullptr;
}

// Where a syntax error is told: at the offending token. The parser reports
// where it stopped, which for an unterminated string is the end of the file,
// for an incomplete literal or number the byte after it, and for a trailing
// comma the closing bracket.
size_t offendingToken(std::string_view text, size_t offset, rapidjson::ParseErrorCode code, size_t tokenStart) {
    using namespace rapidjson;
    const char at = offset < text.size() ? text[offset] : '\0';
    const size_t before = lastNonSpaceBefore(text, offset);
    if ((at == '}' || at == ']') && before != std::string_view::npos && text[before] == ',') return before;
    if (code == kParseErrorStringMissQuotationMark) return tokenStart;
    const bool partial = code == kParseErrorValueInvalid || code == kParseErrorNumberMissFraction ||
                         code == kParseErrorNumberMissExponent;
    if (partial && tokenStart < offset && text[tokenStart] != '"' && text[tokenStart] != '[' && text[tokenStart] != '{') {
        for (size_t i = tokenStart; i < offset; ++i) {
            if (isSpace(text[i]) || text[i] == ',' || text[i] == ':') return offset;
        }
        return tokenStart;
    }
    return offset;
}

// A plain word on the usual suspects, after the parser's own reason.
std::string syntaxHint(std::string_view text, size_t offset, size_t stop, rapidjson::ParseErrorCode code, bool rawControl) {
    using namespace rapidjson;
    const char at = offset < text.size() ? text[offset] : '\0';
    const char stopped = stop < text.size() ? text[stop] : '\0';
    if (startsWith(text, 0, "\xEF\xBB\xBF")) return "the file starts with a byte-order mark; save it as UTF-8 without one";
    if (code == kParseErrorDocumentEmpty) return "the file holds no JSON value";
    if (code == kParseErrorDocumentRootNotSingular) return "a second value follows the first; a file holds one object";
    if (code == kParseErrorStringMissQuotationMark) return "the string that starts here has no closing quote";
    if (at == ',' && (stopped == '}' || stopped == ']')) {
        return stopped == '}' ? "a comma before the closing brace" : "a comma before the closing bracket";
    }
    if (rawControl) {
        return at == '\t' ? "a raw tab inside a string; write it as \\t"
             : at == '\n' || at == '\r' ? "a line break inside a string; write it as \\n, or end the string first"
                                        : "a control character inside a string; write it as a \\u escape";
    }
    if (code == kParseErrorStringEscapeInvalid && at == '\\') {
        return "a backslash starts an escape; write \\\\ for a backslash itself, as in a Windows path";
    }
    if (at == '/') return "JSON has no comments";
    if (at == '\'') return "strings and names take double quotes, not single ones";
    for (const char* python : {"True", "False"}) {
        if (startsWith(text, offset, python)) return "JSON writes true and false in lower case";
    }
    if (startsWith(text, offset, "None")) return "JSON writes null, not None";
    if (code == kParseErrorObjectMissCommaOrCurlyBracket && at == '"') return "a comma is missing before this member";
    if (code == kParseErrorArrayMissCommaOrSquareBracket && at != '\0') return "a comma is missing before this element";
    if (code == kParseErrorObjectMissName) return "member names take double quotes";
    if (offset >= text.size()) return "the file ends before the value is complete";
    if (at == 'N' || at == 'I') return "NaN and Infinity are no JSON numbers";
    if ((at >= 'a' && at <= 'z') || (at >= 'A' && at <= 'Z')) return "JSON's only words are true, false and null";
    return "";
}

Diagnostic syntaxError(size_t offset, std::string message) {
    Diagnostic diagnostic;
    diagnostic.offset = offset;
    diagnostic.message = "not valid JSON: " + std::move(message);
    return diagnostic;
}

}  // namespace

bool parseConfigText(std::string_view text, ParsedText& parsed, std::vector<Diagnostic>& diagnostics) {
    if (const char* kind = utf16Kind(text)) {
        diagnostics.push_back(syntaxError(0, std::string("the file is UTF-16 (") + kind + "); save it as UTF-8"));
        return false;
    }
    const tools::kalder::JsonLimitBreak broken =
        tools::kalder::findJsonLimitBreak(text.data(), text.size(), tools::kalder::kConfigLimits);
    // The parser reads up to the limit broken, so an earlier syntax error is told first.
    TrackingStream stream(text.substr(0, broken.offset));
    // Room for as many values as the text could hold (each takes a byte and a
    // separator), so the list is never copied as it grows: only the part
    // written is ever touched.
    parsed.spots.reserve(broken.offset / 2 + 1);
    rapidjson::Reader reader;
    auto generate = [&](tools::kalder::ConfigDocument& document) {
        Recorder recorder(document, stream, parsed.spots);
        // Iterative: the text may nest without limit until the limits are checked.
        return !reader.Parse<rapidjson::kParseIterativeFlag>(stream, recorder).IsError();
    };
    parsed.document.Populate(generate);
    if (reader.HasParseError() && (broken.limit == JsonLimit::None || reader.GetErrorOffset() < broken.offset)) {
        const rapidjson::ParseErrorCode code = reader.GetParseErrorCode();
        const size_t stop = reader.GetErrorOffset();
        const size_t offset = offendingToken(text, stop, code, stream.tokenStart());
        std::string reason = rapidjson::GetParseError_En(code);
        if (!reason.empty() && reason.back() == '.') reason.pop_back();
        // Parser versions name a raw control character in a string
        // differently (an invalid escape, an invalid encoding): one name here.
        const char at = offset < text.size() ? text[offset] : '\0';
        const size_t token = stream.tokenStart();
        const bool rawControl = static_cast<unsigned char>(at) < 0x20 && at != '\0' && token < offset && text[token] == '"';
        if (rawControl) reason = "Control character in string";
        const std::string hint = syntaxHint(text, offset, stop, code, rawControl);
        diagnostics.push_back(syntaxError(offset, reason + (hint.empty() ? "" : " (" + hint + ")")));
        return false;
    }
    if (broken.limit != JsonLimit::None) {
        diagnostics.push_back(syntaxError(broken.offset, limitMessage(broken.limit)));
        return false;
    }
    return true;
}

}  // namespace vek::host
