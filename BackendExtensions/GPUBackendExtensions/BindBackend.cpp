// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Slots 2 and 3: bind to the GPU backend library and check its API version.
#include <cstring>

#include "BackendExtensions/GPUBackendExtensions/BackendApi.h"
#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "log/Log.h"
#include "platform/DynamicLibrary.h"

namespace vek::gpu {

bool GPUBackend::bindBackendLibrary(LibraryHandle library) try {
    if (library == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid backend handle");
        return false;
    }
    void* symbol = platform::findSymbol(library, "VekInterface_getProviders");
    if (symbol == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Unable to find symbols. Error code : %d", static_cast<int>(platform::lastErrorCode()));
        return false;
    }
    return selectProvider(reinterpret_cast<GetProvidersFn>(symbol));
} catch (...) {
    return hookFailed("bindBackendLibrary");
}

bool GPUBackend::bindProviderFunction(GetProvidersFn getProviders) try {
    if (getProviders == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Get providers function pointer is null");
        return false;
    }
    return selectProvider(getProviders);
} catch (...) {
    return hookFailed("bindProviderFunction");
}

bool GPUBackend::selectProvider(GetProvidersFn getProviders) {
    const ProviderRecord* const* providers = nullptr;
    uint32_t count = 0;
    getProviders(&providers, &count);

    const ProviderRecord* gpu = nullptr;
    for (uint32_t i = 0; providers != nullptr && i < count; ++i) {
        if (providers[i] != nullptr && providers[i]->backendId == tools::kalder::VEK_GPU_BACKEND_ID) {
            gpu = providers[i];
            break;
        }
    }
    if (gpu == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Unable to find GPU interface provider.");
        return false;
    }
    // Kept whatever the version check below finds.
    std::memcpy(&boundProvider, gpu, sizeof boundProvider);

    tools::kalder::ApiVersionRecord version{};
    if (boundProvider.getApiVersion != nullptr) boundProvider.getApiVersion(&version);
    if (supportsBackendApi(version.backendApiMajor, version.backendApiMinor)) return true;
    // The missing space in "matchescurrent" is part of the message hosts know.
    VEK_LOG(VEK_LOG_LEVEL_ERROR,
            "Backend version mismatch. Please use version of backend that matchescurrent backend API Definition "
            "version.");
    return false;
}

}  // namespace vek::gpu
