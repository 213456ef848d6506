// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The backend-independent half of every extension: the slot bodies that do
// not depend on the backend, and makeIdentifier.
#pragma once

#include <string>

#include "BackendExtensions/IBackend.h"

namespace vek::tools::kalder {

class BackendCommon : public virtual IBackend {
public:
    ~BackendCommon() override = default;

    bool installLogger(LogCallback callback, int32_t maxLevel) override;
    bool acceptHook4(uint32_t) override { return true; }
    bool releaseSharedHook7(std::shared_ptr<void> resource) override {
        resource.reset();
        return true;
    }
    bool acceptHook14(const char*, const void*, uint64_t, uint32_t) override { return true; }
    bool acceptHook21(uint32_t) override { return true; }
    bool acceptHook27(void*) override { return true; }
    bool acceptHook28(void*) override { return true; }
    OwnedBlock emptyPointerHook37() override { return OwnedBlock(); }
    void freePointerHook38(OwnedBlock block) override { block.reset(); }
    OwnedBlock emptyPointerHook39() override { return OwnedBlock(); }
    bool acceptHook40(const char*) override { return true; }
    bool declineHook43(const char*, const char*) override { return false; }
    bool acceptStringsHook44(uint32_t, std::string graphName, uint32_t, std::string outputName, const void*,
                             uint64_t, uint32_t, bool) override {
        std::string().swap(graphName);
        std::string().swap(outputName);
        return true;
    }
    bool acceptHook45(const char*, uint32_t, const void*, uint64_t) override { return true; }
    void noOpHook47(uint64_t) override {}
    bool declineHook48(const char*) override { return false; }
    bool declineHook49(void**) override { return false; }
    bool declineHook50(const char*, uint32_t) override { return false; }

    // Turns a name into an identifier: every byte that is not an ASCII letter,
    // digit or "_" becomes "_", and "_" goes in front unless the result starts
    // with a letter or "_" ("9layers" -> "_9layers", "" -> "_").
    virtual std::string makeIdentifier(std::string name);
};

}  // namespace vek::tools::kalder
