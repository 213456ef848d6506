// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The rule that turns a graph name into an identifier, shared by the plug-in
// (makeIdentifier) and the runner's check, which tells the user what a name
// becomes.
#pragma once

#include <string>

namespace vek::tools::kalder {

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
inline constexpr IdentifierBytes kIdentifierBytes;

// Every byte that is not an ASCII letter, digit or "_" becomes "_", and "_"
// goes in front unless the result starts with a letter or "_"
// ("9layers" -> "_9layers", "" -> "_"). Byte by byte: "é" becomes "__".
inline std::string toIdentifier(std::string name) {
    for (char& c : name) {
        if (!kIdentifierBytes.keep[static_cast<unsigned char>(c)]) c = '_';
    }
    if (name.empty() || (!isAsciiAlpha(static_cast<unsigned char>(name[0])) && name[0] != '_')) {
        name.insert(name.begin(), '_');
    }
    return name;
}

}  // namespace vek::tools::kalder
