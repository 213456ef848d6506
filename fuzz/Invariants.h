// What a host relies on from the record hooks, checked after every call.
// A broken invariant aborts, which the fuzzer reports as a finding.
#pragma once

#include <cstdint>
#include <string>

#include "BackendExtensions/IBackend.h"

namespace vek::fuzz {

using tools::kalder::ConfigList;
using tools::kalder::DeviceConfigList;
using tools::kalder::GraphConfigList;
using tools::kalder::IBackend;

// Aborts with `what` when `condition` is false.
void require(bool condition, const char* what);

// Reads every record a list hands out, and everything it points at, so a
// record pointing at freed or moved settings shows under AddressSanitizer.
void checkOptionList(ConfigList list, uint32_t count, bool backendList);
void checkGraphList(GraphConfigList list, uint32_t count);
void checkDeviceList(DeviceConfigList list, uint32_t count);

// Calls every record hook with valid cells and checks what it hands out,
// then the release hooks.
void checkAllRecords(IBackend& backend);

// A log callback that formats every message, so a format text and its
// arguments that do not match show too.
void formattingLogCallback(const char* format, uint32_t level, uint64_t timestamp, va_list args);

// A path for a scratch file of this fuzzing process, and writing it.
std::string scratchPath(const std::string& name);
void writeScratch(const std::string& path, const uint8_t* data, size_t size);

}  // namespace vek::fuzz
