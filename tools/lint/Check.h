// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Checks a configuration file as the plug-in reads it and says where every
// problem is. The plug-in stops at the first problem and says little; this
// finds them all. It uses the plug-in's own limits scan, key walk, key
// lookup, key table and verdict on a key's value, so it finds an error
// exactly when the plug-in refuses the file.
//
// One way through: the text, its tokens with their places (Parse), the
// rules (ValueRules, KeyRules) that leave small findings, and the
// diagnostics made from them one at a time, each worded by its rule's entry
// in the table (Rules), for a format.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include "Diagnostic.h"
#include "Finding.h"

namespace vek::lint {

struct ParsedText;
using DiagnosticVisitor = std::function<void(const Diagnostic&)>;

// A file larger than this is not checked (one warning): offsets are 32 bits.
constexpr size_t kLargestCheckedFile = (size_t{1} << 31) - 1;

class Check {
public:
    // `schema` is the plug-in's schema document (configSchema.json); it must
    // outlive the check.
    Check(std::string text, const tools::kalder::ConfigValue& schema);
    // A text its owner keeps too (an editor's open document): not copied.
    Check(std::shared_ptr<const std::string> text, const tools::kalder::ConfigValue& schema);
    // The file's bytes; a file that cannot be read is one error, a file too
    // large to check one warning.
    static Check ofFile(const std::string& path, const tools::kalder::ConfigValue& schema);
    // A file the runner could not read: one error saying why.
    static Check unreadable(const std::string& why);
    ~Check();
    Check(Check&&) noexcept;
    Check& operator=(Check&&) noexcept;

    bool hasError() const;
    // Whether any finding is of one of these rules.
    bool findsAny(const std::vector<RuleId>& rules) const;
    size_t size() const { return findings_.size(); }
    // Every diagnostic, in the order of their place in the file, made one at
    // a time: a file of a million mistakes never holds a million messages.
    void forEach(ColumnUnit unit, const DiagnosticVisitor& visit) const;
    // The first `count` diagnostics, each with its fixes and related places
    // (what an editor shows); the others are not made. Returns how many
    // there are in all.
    size_t forFirst(ColumnUnit unit, size_t count, const DiagnosticVisitor& visit) const;

private:
    Check() = default;
    void render(ColumnUnit unit, size_t count, bool details, const DiagnosticVisitor& visit) const;
    void fail(RuleId rule, uint32_t begin, uint32_t end, std::string message);

    std::shared_ptr<const std::string> text_;  // where it lies does not change when the check moves
    const tools::kalder::ConfigValue* schema_ = nullptr;
    std::unique_ptr<ParsedText> parsed_;
    std::vector<Finding> findings_;
    std::vector<const void*> details_;
    // The one finding of a file the rules never saw: its rule, place and text.
    RuleId fixedRule_ = RuleId::InvalidJson;
    uint32_t fixedBegin_ = 0, fixedEnd_ = 0;
    std::string fixedMessage_;
};

}  // namespace vek::lint
