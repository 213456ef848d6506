// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Drives a backend object through the hooks a host calls, in a host's order.
#pragma once

#include <string>

#include "BackendExtensions/IBackend.h"
#include "HostReport.h"
#include "platform/DynamicLibrary.h"

namespace vek::host {

// Owns the loaded plug-in, one backend object and the loaded backend library,
// and releases them in the right order.
class HostSession {
public:
    HostSession() = default;
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Each step answers false after printing why to standard error (for a
    // hook that answers false, only when not quiet).
    void setQuiet(bool quiet) { quiet_ = quiet; }
    bool loadPlugin(const std::string& path);
    bool installLogger(int32_t maxLevel);
    // A new backend object in place of the current one, with the same
    // logger: what a load kept is freed at once (a server that loads text
    // after text needs none of it).
    bool renewBackend();
    bool loadBackend(const std::string& path);
    bool bindBackend();
    bool loadConfig(const std::string& path);
    // Calls slots 8, 10, 12 and 29, reads their records into `report`, then
    // the release hooks 9, 11 and 13.
    bool collectRecords(HostReport& report);

    platform::LibraryHandle backendLibrary() const { return backendLibrary_; }
    // "<hook> returned false" for the hook that failed last.
    const std::string& failure() const { return failure_; }

private:
    bool hookResult(bool result, const char* hook);

    platform::LibraryHandle plugin_ = nullptr;
    platform::LibraryHandle backendLibrary_ = nullptr;
    CreateBackendInterfaceFn create_ = nullptr;
    DestroyBackendInterfaceFn destroy_ = nullptr;
    int32_t logLevel_ = 0;
    tools::kalder::IBackend* backend_ = nullptr;
    std::string failure_;
    bool quiet_ = false;
};

}  // namespace vek::host
