#include "BackendExtensions/BackendCommon.h"

#include <cctype>

#include "log/Logger.h"

namespace vek::tools::kalder {
namespace {

// isalnum/isalpha in the C locale, which the plug-in never changes; the byte
// goes through unsigned char so bytes above 0x7F are not negative.
bool isAsciiAlnum(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x80 && std::isalnum(byte) != 0;
}
bool isAsciiAlpha(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x80 && std::isalpha(byte) != 0;
}

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
        if (!isAsciiAlnum(c) && c != '_') c = '_';
    }
    if (name.empty() || (!isAsciiAlpha(name[0]) && name[0] != '_')) name.insert(name.begin(), '_');
    return name;
}

}  // namespace vek::tools::kalder
