// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Slot 6: read, validate and interpret the configuration file.
#include <cstring>

#include "BackendExtensions/ConfigFile.h"
#include "BackendExtensions/ConfigValidation.h"
#include "BackendExtensions/ConfigValues.h"
#include "BackendExtensions/GPUBackendExtensions/ConfigKeyVerdict.h"
#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "log/Log.h"

namespace vek::gpu {
namespace {

using Value = tools::kalder::ConfigValue;

// Turns each key of one file into settings, as the key table says.
class KeyInterpreter {
public:
    KeyInterpreter(GpuSettings& settings, tools::kalder::BackendCommon& backend)
        : settings_(settings), backend_(backend) {}

    // Applies one key whose value was looked up (null when the key names
    // nothing); false after logging why it failed.
    bool apply(const std::string& key, const Value* value) {
        const ConfigKey* entry = findConfigKey(key);
        switch (judgeKeyValue(entry, value)) {
            case KeyVerdict::Unsupported:
                VEK_LOG(VEK_LOG_LEVEL_ERROR, "Unsupported key: %s", key.c_str());
                return false;
            case KeyVerdict::WrongType:
                VEK_LOG(VEK_LOG_LEVEL_ERROR, entry->typeError);
                return false;
            case KeyVerdict::NotAllowed:
                // An option entry is appended (value 0) before its text is
                // looked at, so it stays when the text is not one the key allows.
                if (entry->target != KeyTarget::GraphPrecision) appendEntry(*entry);
                VEK_LOG(VEK_LOG_LEVEL_ERROR, entry->invalidEnum);
                return false;
            case KeyVerdict::Taken: break;
        }
        switch (entry->type) {
            case KeyType::TextList: return graphName(*entry, value->GetString());
            case KeyType::Flag: return flag(*entry, value->GetBool());
            case KeyType::Text:
                return entry->enumTexts != nullptr ? enumeration(*entry, value->GetString())
                                                   : storeText(*entry, value->GetString());
            case KeyType::Integer: settings_.deviceId = value->GetInt(); return true;
        }
        return true;
    }

private:
    std::vector<GpuOptionEntry>& entries(const ConfigKey& entry) {
        return entry.target == KeyTarget::BackendOption ? settings_.backendCustomConfigs
                                                        : settings_.contextCustomConfigs;
    }

    GpuOptionEntry& appendEntry(const ConfigKey& entry) {
        GpuOptionEntry& appended = entries(entry).emplace_back();
        std::memset(&appended, 0, sizeof appended);
        appended.option = entry.option;
        return appended;
    }

    bool graphName(const ConfigKey& entry, const char* name) {
        identifier_.assign(name);  // up to the text's first NUL
        identifier_ = backend_.makeIdentifier(std::move(identifier_));
        settings_.graphNames.push_back(identifier_);
        VEK_LOG(VEK_LOG_LEVEL_INFO, entry.whenTrue, settings_.graphNames.back());
        return true;
    }

    bool flag(const ConfigKey& entry, bool on) {
        const uint8_t value = on ? 1 : 0;
        if (entry.target == KeyTarget::GraphFlag) settings_.graphCustomConfig.*entry.graphFlag = value;
        else appendEntry(entry).value.flag = value;
        VEK_LOG(VEK_LOG_LEVEL_INFO, on ? entry.whenTrue : entry.whenFalse);
        return true;
    }

    bool enumeration(const ConfigKey& entry, const char* text) {
        const EnumText* chosen = findEnumText(entry, text);
        if (entry.target == KeyTarget::GraphPrecision) settings_.graphCustomConfig.precisionMode = chosen->value;
        else appendEntry(entry).value.enumValue = chosen->value;
        VEK_LOG(VEK_LOG_LEVEL_INFO, chosen->message);
        return true;
    }

    // Every entry of the option points at the one stored text, so none is
    // left pointing at text a repeated key replaced. The text is copied and
    // the entry made before anything changes, so running out of memory on
    // the way leaves the settings as they were.
    bool storeText(const ConfigKey& entry, const char* text) {
        std::string replacement(text);
        appendEntry(entry);
        std::string& stored = settings_.*entry.storedText;
        stored.swap(replacement);
        for (GpuOptionEntry& option : entries(entry)) {
            if (option.option == entry.option) option.value.text = stored.c_str();
        }
        VEK_LOG(VEK_LOG_LEVEL_INFO, entry.whenTrue, stored.c_str());
        return true;
    }

    GpuSettings& settings_;
    tools::kalder::BackendCommon& backend_;
    // One buffer for every graph name, so millions of names do not allocate
    // one temporary each.
    std::string identifier_;
};

// Room for the names of the graph_names array at once, so a list of millions
// is not copied over and over as it grows. Only a capacity hint.
void reserveGraphNames(TextList& names, const tools::kalder::ConfigDocument& document) {
    const auto found = document.FindMember(kConfigKeys[0].name);
    if (found == document.MemberEnd() || !found->value.IsArray()) return;
    size_t chars = 0;
    for (const Value& name : found->value.GetArray()) chars += name.IsString() ? name.GetStringLength() + 2 : 0;
    names.reserve(found->value.Size(), chars);
}

}  // namespace

bool GPUBackend::loadConfigFile(std::string path) try {
    if (path.empty()) return true;

    tools::kalder::ConfigDocument document;
    if (!tools::kalder::readConfigFile(document, path)) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Failed parsing config");
        return false;
    }
    if (!tools::kalder::validateConfig(document, std::string(configSchema, configSchemaSize))) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Config does not match schema");
        return false;
    }
    settings = GpuSettings{};
    reserveGraphNames(settings.graphNames, document);
    KeyInterpreter interpreter(settings, *this);
    // Each key is looked up as a host would name it; where the walk already
    // knows what the lookup finds, the lookup is skipped.
    tools::kalder::FirstMembers members;
    return tools::kalder::collectConfigKeys(
        document,
        [&](const std::string& key, const Value&, tools::kalder::KnownLookup lookup) {
            return interpreter.apply(key, tools::kalder::getConfigValue(document, key, members, lookup));
        },
        members);
} catch (...) {
    return hookFailed("loadConfigFile");
}

}  // namespace vek::gpu
