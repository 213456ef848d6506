// Listing the keys of a configuration document and looking up their values.
//
// A key is a "/"-separated path of member names and decimal array indices,
// without a leading "/": "device_id", "graph_names/0", "extra/list/2/flag".
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

namespace vek::tools::kalder {

// The keys of every leaf (false, true, string, number) of the document, whose
// root must be an object, in document order. Nulls and empty containers give
// no key.
std::vector<std::string> collectConfigKeys(const rapidjson::Document& document);

// Called per leaf in document order with its key and the value the walk
// found there. `direct` is true when findConfigValue(key) finds that same
// value: every member on the path is the first of its name in its object, and
// its name survives the lookup unchanged (no "/", "~" or NUL, not empty at the
// root). Returning false stops the walk.
using ConfigKeyVisitor = std::function<bool(const std::string& key, const rapidjson::Value& value, bool direct)>;

// Walks the leaves as collectConfigKeys lists them, without building the
// list. False when the visitor stopped the walk.
bool forEachConfigKey(const rapidjson::Document& document, const ConfigKeyVisitor& visit);

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
