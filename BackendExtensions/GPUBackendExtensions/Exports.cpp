// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The library's two exports: the host's way in and out.
#include <new>

#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "platform/Compiler.h"

using vek::tools::kalder::IBackend;

extern "C" VEK_EXPORT IBackend* createBackendInterface() {
    // Hands out the IBackend view (the virtual base), not the object's start.
    return new (std::nothrow) vek::gpu::GPUBackend;
}

extern "C" VEK_EXPORT void destroyBackendInterface(IBackend* backend) { delete backend; }
