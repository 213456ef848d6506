// A read stream that watches the JSON text the parser takes and cuts the
// input short when the text goes beyond the limits the plug-in accepts.
#pragma once

#include <cstddef>

namespace vek::tools::kalder {

// Wraps any RapidJSON input stream. The parser recurses once per nesting
// level, and its number reader overflows on exponents near the int range, so
// both must be stopped before the parser sees them: once a limit is passed the
// stream reports end of input and rejected() turns true. The watch follows the
// text lexically (strings and escapes, numbers, brackets); for text that is
// valid JSON so far this is exactly what the parser sees.
template <typename Stream>
class GuardedStream {
public:
    using Ch = char;

    GuardedStream(Stream& in, unsigned maxDepth, unsigned maxNumberLength, unsigned maxExponentDigits)
        : in_(in), maxDepth_(maxDepth), maxNumberLength_(maxNumberLength), maxExponentDigits_(maxExponentDigits) {}

    Ch Peek() const { return rejected_ ? '\0' : in_.Peek(); }
    Ch Take() {
        if (rejected_) return '\0';
        const Ch c = in_.Take();
        watch(c);
        return c;
    }
    size_t Tell() const { return in_.Tell(); }
    bool rejected() const { return rejected_; }

    // Read-only stream.
    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    size_t PutEnd(Ch*) { return 0; }

private:
    enum class State { Outside, InString, InNumber };

    static bool isDigit(Ch c) { return c >= '0' && c <= '9'; }

    void watch(Ch c) {
        if (state_ == State::InString) {
            if (escaped_) escaped_ = false;
            else if (c == '\\') escaped_ = true;
            else if (c == '"') state_ = State::Outside;
            return;
        }
        if (state_ == State::InNumber) {
            if (isDigit(c) || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E') {
                watchNumber(c);
                return;
            }
            state_ = State::Outside;  // the number ended; c is the next token
        }
        switch (c) {
            case '"': state_ = State::InString; break;
            case '[':
            case '{':
                if (++depth_ > maxDepth_) rejected_ = true;
                break;
            case ']':
            case '}':
                if (depth_ > 0) --depth_;
                break;
            default:
                if (c == '-' || isDigit(c)) {
                    state_ = State::InNumber;
                    numberLength_ = 1;
                    inExponent_ = false;
                    exponentDigits_ = 0;
                }
        }
    }

    void watchNumber(Ch c) {
        if (++numberLength_ > maxNumberLength_) rejected_ = true;
        if (c == 'e' || c == 'E') inExponent_ = true;
        // Leading zeros of an exponent do not count; its significant digits do.
        else if (inExponent_ && isDigit(c) && (c != '0' || exponentDigits_ > 0)) {
            if (++exponentDigits_ > maxExponentDigits_) rejected_ = true;
        }
    }

    Stream& in_;
    const unsigned maxDepth_;
    const unsigned maxNumberLength_;
    const unsigned maxExponentDigits_;
    State state_ = State::Outside;
    bool escaped_ = false;
    bool rejected_ = false;
    bool inExponent_ = false;
    unsigned depth_ = 0;
    unsigned numberLength_ = 0;
    unsigned exponentDigits_ = 0;
};

}  // namespace vek::tools::kalder
