#include "Explain.h"

#include "BackendExtensions/JsonTypeName.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include <rapidjson/document.h>
#include <rapidjson/pointer.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vek::host {
namespace {

using tools::kalder::jsonTypeName;

using rapidjson::Value;

bool readJson(const std::string& path, rapidjson::Document& document) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream text;
    text << in.rdbuf();
    const std::string content = text.str();
    document.Parse<rapidjson::kParseIterativeFlag>(content.c_str(), content.size());
    return !document.HasParseError();
}

const Value* resolve(const rapidjson::Document& document, const std::string& fragment) {
    const rapidjson::Pointer pointer(fragment.c_str(), fragment.size());
    return pointer.IsValid() ? pointer.Get(document) : nullptr;
}

// "#/graph_names/1" -> "graph_names/1", the key as the plug-in names it.
std::string keyOf(const std::string& fragment) {
    const rapidjson::Pointer pointer(fragment.c_str(), fragment.size());
    std::string key;
    for (size_t i = 0; pointer.IsValid() && i < pointer.GetTokenCount(); ++i) {
        if (i > 0) key += "/";
        key.append(pointer.GetTokens()[i].name, pointer.GetTokens()[i].length);
    }
    return key;
}

std::string compact(const Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    std::string text(buffer.GetString(), buffer.GetSize());
    if (text.size() > 60) text = text.substr(0, 57) + "...";
    return text;
}

std::string withArticle(const std::string& type) {
    if (type == "null") return "null";
    const bool vowel = type == "integer" || type == "object" || type == "array";
    return (vowel ? "an " : "a ") + type;
}

std::string join(const std::vector<std::string>& parts, const std::string& separator, const std::string& last) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += i + 1 == parts.size() ? last : separator;
        out += parts[i];
    }
    return out;
}

std::vector<std::string> strings(const Value* array, bool quote) {
    std::vector<std::string> out;
    if (array == nullptr || !array->IsArray()) return out;
    for (const Value& item : array->GetArray()) {
        if (item.IsString()) out.push_back(quote ? "\"" + std::string(item.GetString()) + "\"" : item.GetString());
        else out.push_back(compact(item));
    }
    return out;
}

const Value* member(const Value& object, const char* name) {
    if (!object.IsObject()) return nullptr;
    const auto found = object.FindMember(name);
    return found != object.MemberEnd() ? &found->value : nullptr;
}

std::string subject(const std::string& key, const Value* value) {
    if (key.empty()) return "The file";
    if (value == nullptr) return key;
    return key + " is " + compact(*value) + " (" + withArticle(jsonTypeName(*value)) + "),";
}

}  // namespace

std::string explainSchemaReport(const std::string& report, const std::string& configPath,
                                const std::string& schemaPath) {
    const size_t start = report.find('{');
    if (start == std::string::npos) return {};
    rapidjson::Document error;
    error.Parse(report.c_str() + start);
    if (error.HasParseError() || !error.IsObject() || error.MemberCount() != 1) return {};
    const std::string keyword = error.MemberBegin()->name.GetString();
    const Value& details = error.MemberBegin()->value;
    const Value* instanceRef = member(details, "instanceRef");
    const Value* schemaRef = member(details, "schemaRef");
    if (instanceRef == nullptr || !instanceRef->IsString()) return {};

    rapidjson::Document config, schema;
    const bool haveConfig = readJson(configPath, config);
    const bool haveSchema = readJson(schemaPath, schema);
    const std::string key = keyOf(instanceRef->GetString());
    const Value* value = haveConfig ? resolve(config, instanceRef->GetString()) : nullptr;

    if (keyword == "type") {
        std::vector<std::string> expected = strings(member(details, "expected"), false);
        std::transform(expected.begin(), expected.end(), expected.begin(), withArticle);
        if (key.empty()) {
            const Value* actual = member(details, "actual");
            return "The file holds " + withArticle(actual != nullptr ? actual->GetString() : "value") +
                   ", but it must hold " + join(expected, ", ", " or ") + ".";
        }
        return subject(key, value) + " but it must be " + join(expected, ", ", " or ") + ".";
    }
    if (keyword == "enum") {
        const Value* rule = haveSchema && schemaRef != nullptr ? resolve(schema, schemaRef->GetString()) : nullptr;
        const std::vector<std::string> allowed = strings(rule != nullptr ? member(*rule, "enum") : nullptr, true);
        return subject(key, value) + " but it must be " +
               (allowed.empty() ? std::string("a value the schema lists") : "one of " + join(allowed, ", ", " or ")) + ".";
    }
    if (keyword == "dependencies") {
        std::vector<std::string> needs;
        const Value* errors = member(details, "errors");
        if (errors == nullptr || !errors->IsObject()) return {};
        for (const auto& entry : errors->GetObject()) {
            const Value* required = member(entry.value, "required");
            const std::vector<std::string> missing =
                strings(required != nullptr ? member(*required, "missing") : nullptr, false);
            needs.push_back(std::string(entry.name.GetString()) + " needs " + join(missing, ", ", " and "));
        }
        return join(needs, "; ", "; ") + (needs.size() == 1 ? ", which the file does not set." : "; the file does not set them.");
    }
    return (key.empty() ? std::string("The file") : key) + " breaks the schema's \"" + keyword + "\" rule.";
}

std::vector<std::string> schemaKeys(const std::string& schemaPath) {
    rapidjson::Document schema;
    std::vector<std::string> keys;
    if (!readJson(schemaPath, schema)) return keys;
    const Value* properties = member(schema, "properties");
    if (properties == nullptr || !properties->IsObject()) return keys;
    for (const auto& property : properties->GetObject()) keys.emplace_back(property.name.GetString());
    return keys;
}

std::string closestKey(const std::string& key, const std::vector<std::string>& knownKeys) {
    std::string best;
    size_t bestDistance = std::max<size_t>(2, key.size() / 3) + 1;
    for (const std::string& known : knownKeys) {
        // Edit distance, one row at a time.
        std::vector<size_t> row(known.size() + 1);
        for (size_t j = 0; j <= known.size(); ++j) row[j] = j;
        for (size_t i = 1; i <= key.size(); ++i) {
            size_t diagonal = row[0];
            row[0] = i;
            for (size_t j = 1; j <= known.size(); ++j) {
                const size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (key[i - 1] == known[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        if (row[known.size()] < bestDistance) {
            bestDistance = row[known.size()];
            best = known;
        }
    }
    return best;
}

}  // namespace vek::host
