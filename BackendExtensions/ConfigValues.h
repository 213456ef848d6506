// Listing the keys of a configuration document and looking up their values.
//
// A key is a "/"-separated path of member names and decimal array indices,
// without a leading "/": "device_id", "graph_names/0", "extra/list/2/flag".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

namespace vek::tools::kalder {

// The keys of every leaf (false, true, string, number) of the document, whose
// root must be an object, in document order. Nulls and empty containers give
// no key.
std::vector<std::string> collectConfigKeys(const rapidjson::Document& document);

// The value a key names, or null. A key starting with "/" is taken as a
// complete JSON Pointer. Logs "Empty key provided." for an empty key.
const rapidjson::Value* findConfigValue(const rapidjson::Document& document, const std::string& key);

// A copy of a leaf value, as one heap object of the type its JSON value has:
// bool, int (integers within 32 bits), double (other numbers) or std::string
// (cut at its first NUL). Empty for null, object and array.
std::shared_ptr<void> makeConfigValue(const rapidjson::Value& value);

// findConfigValue, then makeConfigValue. Logs "Invalid key: %s" when the key
// names nothing; empty then.
std::shared_ptr<void> getConfigValue(const rapidjson::Document& document, const std::string& key);

}  // namespace vek::tools::kalder
