#include "BackendExtensions/BackendCommon.h"

#include "log/Logger.h"

namespace vek::tools::kalder {
namespace {

// What isalpha and isalnum answer in the C locale, spelled out: the host may
// have switched the process to another locale, and the answer must not
// depend on it. Bytes above 0x7F are neither.
constexpr bool isAsciiAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool isAsciiAlnum(unsigned char c) { return isAsciiAlpha(c) || (c >= '0' && c <= '9'); }

// The bytes an identifier keeps, by value; one look-up per byte for names
// that come by the million.
struct IdentifierBytes {
    bool keep[256] = {};
    constexpr IdentifierBytes() {
        for (int c = 0; c < 256; ++c) keep[c] = isAsciiAlnum(static_cast<unsigned char>(c)) || c == '_';
    }
};
constexpr IdentifierBytes kIdentifierBytes;

}  // namespace

bool BackendCommon::installLogger(LogCallback callback, int32_t maxLevel) {
    if (callback == nullptr) return false;
    if (maxLevel < VEK_LOG_LEVEL_ERROR || maxLevel > VEK_LOG_LEVEL_DEBUG) return false;
    try {
        return log::installProcessLogger(callback, maxLevel);
    } catch (...) {
        return false;  // out of memory; never let it cross into the host
    }
}

std::string BackendCommon::makeIdentifier(std::string name) {
    for (char& c : name) {
        if (!kIdentifierBytes.keep[static_cast<unsigned char>(c)]) c = '_';
    }
    if (name.empty() || (!isAsciiAlpha(static_cast<unsigned char>(name[0])) && name[0] != '_')) {
        name.insert(name.begin(), '_');
    }
    return name;
}

}  // namespace vek::tools::kalder
