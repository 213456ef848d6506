// Listing the keys of a configuration document and looking up their values.
//
// A key is a "/"-separated path of member names and decimal array indices,
// without a leading "/": "device_id", "graph_names/0", "extra/list/2/flag".
#pragma once

#include <functional>
#include <string>

#include "BackendExtensions/ConfigJson.h"
#include "BackendExtensions/FirstMembers.h"

namespace vek::tools::kalder {

// Walks the leaves (false, true, string, number) of the document, whose root
// must be an object, in document order, and calls `visit` with each leaf's key
// and the value the walk found there. Nulls and empty containers give no key.
// `direct` is true when findConfigValue(key) finds that same value: every
// member on the path is the first of its name in its object, and its name
// survives the lookup unchanged (no "/", "~" or NUL, not empty at the root).
// Returning false stops the walk; the result is then false.
using ConfigKeyVisitor = std::function<bool(const std::string& key, const ConfigValue& value, bool direct)>;
bool collectConfigKeys(const ConfigDocument& document, const ConfigKeyVisitor& visit);

// The value a key names, or null. A key starting with "/" is taken as a
// complete JSON Pointer. Logs "Empty key provided." for an empty key.
const ConfigValue* findConfigValue(const ConfigDocument& document, const std::string& key);

// findConfigValue, logging "Invalid key: %s" when the key names nothing. The
// value stays in the document; its reader takes it as the type it expects.
const ConfigValue* getConfigValue(const ConfigDocument& document, const std::string& key);

// The same three sharing one index of the document's large objects, so that
// walking a file and looking up its keys costs time linear in the file
// however many members an object holds. `members` serves one document.
bool collectConfigKeys(const ConfigDocument& document, const ConfigKeyVisitor& visit, FirstMembers& members);
const ConfigValue* findConfigValue(const ConfigDocument& document, const std::string& key, FirstMembers& members);
const ConfigValue* getConfigValue(const ConfigDocument& document, const std::string& key, FirstMembers& members);

}  // namespace vek::tools::kalder
