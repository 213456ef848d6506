// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
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

// What findConfigValue answers for a key, when the walk that made the key
// can tell without looking it up: every name on the key's path reads back as
// itself (no "/", "~" or NUL, not empty at the root), so the lookup follows
// the first member of each name and the indices, which the walk follows too.
struct KnownLookup {
    bool known;
    const ConfigValue* value;  // when known: the value found, or null
};

// Walks the leaves (false, true, string, number) of the document, whose root
// must be an object, in document order, and calls `visit` with each leaf's
// key, the value the walk found there, and what the lookup of the key
// answers where the walk can tell. Nulls and empty containers give no key.
// Returning false stops the walk; the result is then false.
using ConfigKeyVisitor = std::function<bool(const std::string& key, const ConfigValue& value, KnownLookup lookup)>;
bool collectConfigKeys(const ConfigDocument& document, const ConfigKeyVisitor& visit);

// The value a key names, or null. A key starting with "/" is taken as a
// complete JSON Pointer. Logs "Empty key provided." for an empty key.
const ConfigValue* findConfigValue(const ConfigDocument& document, const std::string& key);

// findConfigValue, logging "Invalid key: %s" when the key names nothing. The
// value stays in the document; its reader takes it as the type it expects.
const ConfigValue* getConfigValue(const ConfigDocument& document, const std::string& key);

// The same three sharing one index of the document's large objects, so that
// walking a file and looking up its keys costs time linear in the file
// however many members an object holds. `members` serves one document. A
// known lookup is answered as it stands, without looking the key up again.
bool collectConfigKeys(const ConfigDocument& document, const ConfigKeyVisitor& visit, FirstMembers& members);
const ConfigValue* findConfigValue(const ConfigDocument& document, const std::string& key, FirstMembers& members,
                                   KnownLookup lookup = {false, nullptr});
const ConfigValue* getConfigValue(const ConfigDocument& document, const std::string& key, FirstMembers& members,
                                  KnownLookup lookup = {false, nullptr});

}  // namespace vek::tools::kalder
