// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Check.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "CheckState.h"
#include "Positions.h"
#include "Wording.h"

namespace vek::lint {
namespace {

uint32_t beginOf(const Finding& f, const std::vector<Spot>& spots) {
    return f.atKey ? spots[f.spot].key : spots[f.spot].value;
}

// Each pass of rules tells its findings in file order: the runs they make
// are merged, in linear time for each of the few passes, and stably, so two
// findings at one place keep the order of the passes.
void sortByPlace(std::vector<Finding>& findings, const std::vector<Spot>& spots) {
    const auto byPlace = [&](const Finding& a, const Finding& b) { return beginOf(a, spots) < beginOf(b, spots); };
    std::vector<size_t> runs{0};
    for (size_t i = 1; i < findings.size(); ++i) {
        if (byPlace(findings[i], findings[i - 1])) runs.push_back(i);
    }
    runs.push_back(findings.size());
    while (runs.size() > 2) {
        std::vector<size_t> merged{0};
        for (size_t r = 0; r + 2 < runs.size(); r += 2) {
            std::inplace_merge(findings.begin() + static_cast<ptrdiff_t>(runs[r]), findings.begin() + static_cast<ptrdiff_t>(runs[r + 1]),
                               findings.begin() + static_cast<ptrdiff_t>(runs[r + 2]), byPlace);
            merged.push_back(runs[r + 2]);
        }
        if (runs.size() % 2 == 0) merged.push_back(runs.back());
        runs.swap(merged);
    }
}

// One RFC 6901 token: "~" written "~0" and "/" written "~1".
void appendPointerToken(std::string& pointer, const Value& name) {
    pointer += '/';
    const char* text = name.GetString();
    for (rapidjson::SizeType i = 0; i < name.GetStringLength(); ++i) {
        if (text[i] == '~') pointer += "~0";
        else if (text[i] == '/') pointer += "~1";
        else pointer += text[i];
    }
}

// The words of the diagnostic shown before, taken out; their room serves
// the next one, so a million diagnostics need not a million allocations.
void clearWords(Diagnostic& diagnostic) {
    diagnostic.message.clear();
    diagnostic.allowed.clear();
    diagnostic.fixes.clear();
    diagnostic.related.clear();
}

// Walks the document in the order of its spots, keeping the path to the
// value it stands on, and shows each finding when it reaches the finding's
// value: the key and pointer of a value are made only for the values told of.
class Render {
public:
    // The first `count` findings, with their fixes and related places where `details`.
    Render(const ParsedText& parsed, const std::vector<Finding>& findings, const Vocabulary& vocabulary, ColumnUnit unit,
           size_t count, bool details, const DiagnosticVisitor& visit)
        : parsed_(parsed), findings_(findings), vocabulary_(vocabulary), positions_(parsed.text, unit), details_(details),
          end_(std::min(count, findings.size())), visit_(visit) {
        if (end_ > 0) walk(parsed.document, nullptr);
    }

private:
    struct Step {
        const Value* name;  // null for an element
        rapidjson::SizeType index;
    };

    // Recursion depth is bounded by the nesting limit the parse enforces.
    void walk(const Value& value, const Value* name) {
        const uint32_t spot = spot_++;
        while (next_ < end_ && findings_[next_].spot == spot) show(findings_[next_++], value, name);
        if (next_ == end_) return;
        if (value.IsObject()) {
            for (const auto& member : value.GetObject()) {
                path_.push_back(Step{&member.name, 0});
                walk(member.value, &member.name);
                path_.pop_back();
                if (next_ == end_) return;
            }
        } else if (value.IsArray()) {
            rapidjson::SizeType index = 0;
            for (const Value& element : value.GetArray()) {
                path_.push_back(Step{nullptr, index++});
                walk(element, nullptr);
                path_.pop_back();
                if (next_ == end_) return;
            }
        }
    }

    void show(const Finding& finding, const Value& value, const Value* name) {
        key_.clear();
        diagnostic_.pointer.clear();
        for (const Step& step : path_) {
            if (&step != &path_.front()) key_ += '/';
            if (step.name != nullptr) {
                key_ += step.name->GetString();  // up to the name's first NUL, as the plug-in names it
                appendPointerToken(diagnostic_.pointer, *step.name);
            } else {
                key_ += std::to_string(step.index);
                diagnostic_.pointer += '/' + std::to_string(step.index);
            }
        }
        const Rule& rule = ruleOf(finding.rule);
        diagnostic_.rule = rule.rule;
        diagnostic_.severity = rule.severity;
        const uint32_t begin = beginOf(finding, parsed_.spots);
        diagnostic_.begin = positions_.at(begin);
        diagnostic_.end = positions_.after(diagnostic_.begin, tokenEndAt(parsed_.text, begin));
        clearWords(diagnostic_);
        Wording wording(vocabulary_, finding, Wording::Subject{&value, name, key_, begin, path_.size()}, details_, diagnostic_);
        rule.word(wording);
        visit_(diagnostic_);
    }

    const ParsedText& parsed_;
    const std::vector<Finding>& findings_;
    const Vocabulary& vocabulary_;
    Positions positions_;
    bool details_;
    size_t end_;  // the findings shown end here
    const DiagnosticVisitor& visit_;
    std::vector<Step> path_;
    std::string key_;
    Diagnostic diagnostic_;
    uint32_t spot_ = 0;
    size_t next_ = 0;
};

}  // namespace

Check::Check(std::string text, const Value& schema) : Check(std::make_shared<const std::string>(std::move(text)), schema) {}

Check::Check(std::shared_ptr<const std::string> text, const Value& schema) : text_(std::move(text)), schema_(&schema) {
    if (text_->size() > kLargestCheckedFile) {
        text_ = std::make_shared<const std::string>();
        fail(RuleId::FileTooLarge, 0, 0, "the file is too large to check (over 2 GiB); the plug-in's verdict alone decides");
        return;
    }
    parsed_ = std::make_unique<ParsedText>();
    parsed_->text = *text_;
    ParseFailure failure;
    if (!parseConfigText(*text_, *parsed_, failure)) {
        parsed_.reset();
        fail(failure.rule, failure.begin, failure.end, std::move(failure.message));
        return;
    }
    // Room for a finding for each value, which is more than most files
    // need: the list is not copied over as it grows, and what it does not
    // use it never touches.
    findings_.reserve(parsed_->spots.size());
    {
        CheckState state(*parsed_, schema, findings_, details_);
        checkValues(state);
        checkKeys(state);
    }
    sortByPlace(findings_, parsed_->spots);
}

Check Check::ofFile(const std::string& path, const Value& schema) {
    std::error_code error;
    std::FILE* file = std::filesystem::is_directory(path, error) ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr) return unreadable("");
    // Sized once to the file, so a large file is not copied over as it grows.
    std::string text;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && static_cast<size_t>(size) <= kLargestCheckedFile) text.reserve(static_cast<size_t>(size));
        std::fseek(file, 0, SEEK_SET);
    }
    char buffer[65536];
    size_t read = 0;
    while (text.size() <= kLargestCheckedFile && (read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, read);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return unreadable("");
    return Check(std::move(text), schema);
}

Check Check::unreadable(const std::string& why) {
    Check check;
    check.text_ = std::make_shared<const std::string>();
    check.fail(RuleId::UnreadableFile, 0, 0, "cannot read the file" + (why.empty() ? "" : ": " + why));
    return check;
}

Check::~Check() = default;
Check::Check(Check&&) noexcept = default;
Check& Check::operator=(Check&&) noexcept = default;

void Check::fail(RuleId rule, uint32_t begin, uint32_t end, std::string message) {
    fixedRule_ = rule;
    fixedBegin_ = begin;
    fixedEnd_ = end;
    fixedMessage_ = std::move(message);
    findings_.assign(1, Finding{kNone, kNone, rule, Form::Plain, false});
}

bool Check::hasError() const {
    if (parsed_ == nullptr) return !findings_.empty() && ruleOf(fixedRule_).severity == Severity::Error;
    return std::any_of(findings_.begin(), findings_.end(),
                       [](const Finding& f) { return ruleOf(f.rule).severity == Severity::Error; });
}

bool Check::findsAny(const std::vector<RuleId>& rules) const {
    const auto selected = [&](RuleId rule) { return std::find(rules.begin(), rules.end(), rule) != rules.end(); };
    if (parsed_ == nullptr) return !findings_.empty() && selected(fixedRule_);
    return std::any_of(findings_.begin(), findings_.end(), [&](const Finding& f) { return selected(f.rule); });
}

void Check::forEach(ColumnUnit unit, const DiagnosticVisitor& visit) const { render(unit, findings_.size(), false, visit); }

size_t Check::forFirst(ColumnUnit unit, size_t count, const DiagnosticVisitor& visit) const {
    render(unit, count, true, visit);
    return findings_.size();
}

void Check::render(ColumnUnit unit, size_t count, bool details, const DiagnosticVisitor& visit) const {
    if (findings_.empty() || count == 0) return;
    if (parsed_ == nullptr) {
        const Rule& rule = ruleOf(fixedRule_);
        Diagnostic diagnostic;
        diagnostic.rule = rule.rule;
        diagnostic.severity = rule.severity;
        Positions positions(*text_, unit);
        diagnostic.begin = positions.at(fixedBegin_);
        diagnostic.end = positions.after(diagnostic.begin, fixedEnd_);
        Wording wording(*text_, fixedMessage_, fixedBegin_, details, diagnostic);
        rule.word(wording);
        visit(diagnostic);
        return;
    }
    const Vocabulary vocabulary(*parsed_, *schema_, details_);
    Render(*parsed_, findings_, vocabulary, unit, count, details, visit);
}

}  // namespace vek::lint
