// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Parse.h"

#include <algorithm>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include "BackendExtensions/ConfigFile.h"
#include "Text.h"

namespace vek::lint {
namespace {

using tools::kalder::JsonLimit;

// The text as a parser input stream.
class TextStream {
public:
    using Ch = char;
    explicit TextStream(std::string_view text) : text_(text) {}

    Ch Peek() const { return position_ < text_.size() ? text_[position_] : '\0'; }
    Ch Take() { return position_ < text_.size() ? text_[position_++] : '\0'; }
    size_t Tell() const { return position_; }

    // Writing is never asked for: the text is not parsed in place.
    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    size_t PutEnd(Ch*) { return 0; }

private:
    std::string_view text_;
    size_t position_ = 0;
};

// Builds the document and, beside it, the place of every value and key.
// The parser tells a value once it has read it whole, a name once it has
// read its closing quote, and a bracket before it takes it; a token starts
// where the separators after the one told before it end.
class Recorder {
public:
    Recorder(tools::kalder::ConfigDocument& document, std::string_view text, const TextStream& stream, std::vector<Spot>& spots)
        : document_(document), text_(text), stream_(stream), spots_(spots) {}

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
    bool StartObject() { return container() && document_.StartObject(); }
    bool Key(const char* text, rapidjson::SizeType length, bool copy) {
        key_ = static_cast<uint32_t>(tokenStart());
        told_ = stream_.Tell();
        return document_.Key(text, length, copy);
    }
    bool EndObject(rapidjson::SizeType members) { return closed() && document_.EndObject(members); }
    bool StartArray() { return container() && document_.StartArray(); }
    bool EndArray(rapidjson::SizeType elements) { return closed() && document_.EndArray(elements); }

    // Where the token the parser reads, or read last, starts: the opening
    // quote of a string, the bracket of an array or object, the first
    // character of a number or literal.
    size_t tokenStart() const {
        size_t at = told_;
        while (at < text_.size() && (isJsonSpace(text_[at]) || text_[at] == ',' || text_[at] == ':')) ++at;
        return at;
    }

private:
    bool value() {
        const bool recorded = record(tokenStart());
        told_ = stream_.Tell();
        return recorded;
    }
    bool container() {
        told_ = stream_.Tell() + 1;
        return record(stream_.Tell());
    }
    bool closed() {
        told_ = stream_.Tell() + 1;
        return true;
    }
    bool record(size_t start) {
        spots_.push_back(Spot{static_cast<uint32_t>(start), key_});
        key_ = kNoKey;
        return true;
    }

    tools::kalder::ConfigDocument& document_;
    std::string_view text_;
    const TextStream& stream_;
    std::vector<Spot>& spots_;
    uint32_t key_ = kNoKey;
    size_t told_ = 0;  // just past the token told last
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
        if (!isJsonSpace(text[--offset])) return offset;
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
            if (isJsonSpace(text[i]) || text[i] == ',' || text[i] == ':') return offset;
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

// The end of the offending token at `offset`: a punctuation mark or a raw
// character on its own, a string, array, object, number or word whole.
size_t offendingEnd(std::string_view text, size_t offset) {
    if (offset >= text.size()) return offset;
    const char at = text[offset];
    const bool single = at == ',' || at == ':' || at == ']' || at == '}' || isJsonSpace(at) || static_cast<unsigned char>(at) < 0x20;
    return single ? offset + 1 : tokenEnd(text, offset);
}

void fail(ParseFailure& failure, RuleId rule, size_t begin, size_t end, std::string message) {
    failure.rule = rule;
    failure.begin = static_cast<uint32_t>(begin);
    failure.end = static_cast<uint32_t>(end);
    failure.message = "not valid JSON: " + std::move(message);
}

RuleId limitRule(JsonLimit limit) {
    switch (limit) {
        case JsonLimit::Depth: return RuleId::NestingLimit;
        case JsonLimit::NumberLength:
        case JsonLimit::ExponentDigits: return RuleId::NumberLimit;
        case JsonLimit::LoneSurrogate: return RuleId::LoneSurrogate;
        case JsonLimit::NulByte: return RuleId::NulByte;
        case JsonLimit::None: break;
    }
    return RuleId::InvalidJson;
}

}  // namespace

uint32_t tokenEndAt(std::string_view text, uint32_t offset) { return static_cast<uint32_t>(tokenEnd(text, offset)); }

bool parseConfigText(std::string_view text, ParsedText& parsed, ParseFailure& failure) {
    if (const char* kind = utf16Kind(text)) {
        fail(failure, RuleId::Utf16File, 0, std::min<size_t>(2, text.size()), std::string("the file is UTF-16 (") + kind + "); save it as UTF-8");
        return false;
    }
    const tools::kalder::JsonLimitBreak broken =
        tools::kalder::findJsonLimitBreak(text.data(), text.size(), tools::kalder::kConfigLimits);
    // The parser reads up to the limit broken, so an earlier syntax error is told first.
    const std::string_view parsedText = text.substr(0, broken.offset);
    TextStream stream(parsedText);
    // Room for as many values as the text could hold (each takes a byte and a
    // separator), so the list is never copied as it grows: only the part
    // written is ever touched.
    parsed.spots.reserve(broken.offset / 2 + 1);
    rapidjson::Reader reader;
    size_t token = 0;  // where the token the parser stopped in starts
    auto generate = [&](tools::kalder::ConfigDocument& document) {
        Recorder recorder(document, parsedText, stream, parsed.spots);
        // Iterative: the text may nest without limit until the limits are checked.
        const bool parsedWhole = !reader.Parse<rapidjson::kParseIterativeFlag>(stream, recorder).IsError();
        token = recorder.tokenStart();
        return parsedWhole;
    };
    parsed.document.Populate(generate);
    if (reader.HasParseError() && (broken.limit == JsonLimit::None || reader.GetErrorOffset() < broken.offset)) {
        const rapidjson::ParseErrorCode code = reader.GetParseErrorCode();
        const size_t stop = reader.GetErrorOffset();
        const size_t offset = offendingToken(text, stop, code, token);
        std::string reason = rapidjson::GetParseError_En(code);
        if (!reason.empty() && reason.back() == '.') reason.pop_back();
        // Parser versions name a raw control character in a string
        // differently (an invalid escape, an invalid encoding): one name here.
        const char at = offset < text.size() ? text[offset] : '\0';
        const bool rawControl = static_cast<unsigned char>(at) < 0x20 && at != '\0' && token < offset && text[token] == '"';
        if (rawControl) reason = "Control character in string";
        const std::string hint = syntaxHint(text, offset, stop, code, rawControl);
        fail(failure, RuleId::InvalidJson, offset, rawControl ? offset + 1 : offendingEnd(text, offset),
             reason + (hint.empty() ? "" : " (" + hint + ")"));
        return false;
    }
    if (broken.limit != JsonLimit::None) {
        // The bracket one level too deep, the escape, the NUL byte, the number.
        const size_t length = broken.limit == JsonLimit::Depth || broken.limit == JsonLimit::NulByte ? 1
                              : broken.limit == JsonLimit::LoneSurrogate && startsWith(text, broken.offset, "\\u") ? 6
                                                                                                                      : 0;
        const size_t end = length != 0 ? std::min(text.size(), broken.offset + length) : offendingEnd(text, broken.offset);
        fail(failure, limitRule(broken.limit), broken.offset, end, limitMessage(broken.limit));
        return false;
    }
    return true;
}

}  // namespace vek::lint
