// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The GPU backend library: binding to it by provider-listing function
// (binding by handle is the runner's), its API version, and the device
// selection with every fallback and the record of the device named.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "support/Cases.h"
#include "support/FakeBackend.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

using tools::kalder::DeviceConfigList;

const char* const kMismatch =
    "Backend version mismatch. Please use version of backend that matchescurrent backend API Definition version.";
const char* const kNoGpu = "Unable to find GPU interface provider.";

BackendPtr backendForDevice(int deviceId) {
    BackendPtr backend = makeBackend();
    const std::string config = R"({"graph_names": ["g"], "device_id": )" + std::to_string(deviceId) + "}";
    EXPECT_TRUE(backend->loadConfigFile(writeTempFile(config)));
    return backend;
}

// The cells as a host sets them before the call; left alone unless a device is selected.
const tools::kalder::DeviceConfigRecord* const kUntouchedList[] = {nullptr};
constexpr uint32_t kUntouchedCount = 77;

class BackendLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakeBackend();
        setFakeProviders({fakeProvider(2), fakeProvider(4)});
        backend = makeBackend();
        captureLogsOf(*backend);
    }
    BackendPtr backend;
    DeviceConfigList list = kUntouchedList;
    uint32_t count = kUntouchedCount;
};

TEST_F(BackendLibrary, HandleFailures) {
    EXPECT_FALSE(backend->bindBackendLibrary(nullptr));
    // The plug-in itself is a loaded library without the provider symbol.
    EXPECT_FALSE(backend->bindBackendLibrary(Plugin::instance().handle()));
    EXPECT_FALSE(backend->bindProviderFunction(nullptr));
#if defined(_WIN32)
    const std::string code = "127";  // ERROR_PROC_NOT_FOUND
#else
    const std::string code = std::to_string(ENOENT);
#endif
    EXPECT_EQ(capturedLines(), (std::vector<LogLine>{errorLine("Invalid backend handle"),
                                                      errorLine("Unable to find symbols. Error code : %d",
                                                                "Unable to find symbols. Error code : " + code),
                                                      errorLine("Get providers function pointer is null")}));
}

TEST_F(BackendLibrary, ProviderSelectionAndVersion) {
    const ProviderRecord cpu = fakeProvider(2), gpu = fakeProvider(4), other = fakeProvider(7);
    const struct {
        const char* name;
        std::vector<ProviderRecord> providers;
        FakeApiVersion version;
        const char* error;  // null when bound
    } cases[] = {
        {"GPU third", {cpu, other, gpu}, {}, nullptr},
        {"3.20, the other numbers not read", {gpu}, {{~0u, ~0u, ~0u, 3, 20, ~0u}}, nullptr},
        {"3.12", {gpu}, {{3, 13, 3, 3, 12, 13}}, kMismatch},
        {"2.13", {gpu}, {{3, 13, 0, 2, 13, 3}}, kMismatch},
        {"4.0", {gpu}, {{0, 0, 0, 4, 0, 0}}, kMismatch},
        {"4.13", {gpu}, {{0, 0, 0, 4, 13, 0}}, kMismatch},
        {"no version function", {fakeProvider(4, true, false)}, {}, kMismatch},
        {"empty list", {}, {}, kNoGpu},
        {"no GPU", {cpu, other}, {}, kNoGpu},
    };
    for (const auto& c : cases) {
        setFakeProviders(c.providers);
        fakeApiVersion() = c.version;
        clearCapturedLines();
        EXPECT_EQ(backend->bindProviderFunction(&fakeGetProviders), c.error == nullptr) << c.name;
        EXPECT_EQ(capturedLines(), c.error ? std::vector<LogLine>{errorLine(c.error)} : std::vector<LogLine>{}) << c.name;
    }
}

// The first GPU record (refused version, no platform query) is kept: the
// second, good one is never looked at, and a later binding that finds no GPU
// provider keeps it too, so a device request falls back to the default.
TEST_F(BackendLibrary, FirstGpuProviderWinsAndARefusedOneIsKept) {
    fakeApiVersion() = FakeApiVersion{{0, 0, 0, 3, 12, 0}};
    setFakeProviders({fakeProvider(4, false), fakeProvider(4, true)});
    EXPECT_FALSE(backend->bindProviderFunction(&fakeGetProviders));
    ASSERT_TRUE(backend->loadConfigFile(writeTempFile(R"({"graph_names": ["g"], "device_id": 5})")));
    setFakeProviders({fakeProvider(2)});
    EXPECT_FALSE(backend->bindProviderFunction(&fakeGetProviders));
    clearCapturedLines();
    EXPECT_TRUE(backend->getDeviceConfigs(&list, &count));
    EXPECT_EQ(capturedLines(), std::vector<LogLine>{warnLine("deviceGetPlatformInfo undefined, defaulting to PRIMARY_GPU")});
}


// The one device of the handed-out platform, checked against `expected` byte for byte.
void expectSelected(DeviceConfigList list, uint32_t count, const HwDeviceInfo& expected) {
    Problems problems;
    const HwDeviceInfo selected = readDeviceList(list, count, problems);
    EXPECT_EQ(problems, Problems{});
    EXPECT_EQ(std::memcmp(&selected, &expected, sizeof expected), 0);
}

// Every case of tests/cases/devices.json: the device asked for, what the
// library answers, and what the hook does with it.
TEST_F(BackendLibrary, DeviceSelection) {
    const tools::kalder::ConfigDocument cases = readCases("devices.json");
    for (const auto& c : cases.GetArray()) {
        const std::string name = c["name"].GetString();
        BackendPtr backend = backendForDevice(c["device_id"].GetInt());
        if (!c.HasMember("bound") || c["bound"].GetBool()) {
            ASSERT_TRUE(backend->bindProviderFunction(&fakeGetProviders)) << name;
        }
        FakePlatform& platform = fakePlatform();
        platform = FakePlatform{};
        platform.status = c.HasMember("status") ? c["status"].GetInt() : 0;
        platform.noInfo = c.HasMember("no_info");
        platform.version = c.HasMember("version") ? c["version"].GetUint() : 1;
        if (c.HasMember("devices")) {
            for (const auto& d : c["devices"].GetArray()) platform.devices.push_back(fakeDevice(d[0].GetUint(), d[1].GetUint()));
        }
        captureLogsOf(*backend);
        list = kUntouchedList;
        count = kUntouchedCount;
        const bool answer = backend->getDeviceConfigs(&list, c.HasMember("null_cell") ? nullptr : &count);
        EXPECT_EQ(answer, !c.HasMember("result")) << name;
        EXPECT_EQ(capturedLines(), expectedLog(c)) << name;
        EXPECT_TRUE(!c.HasMember("no_query") || fakePlatform().queries == 0) << name;
        if (c.HasMember("selects")) {
            expectSelected(list, count, platform.devices[c["selects"].GetUint()]);
        } else {
            EXPECT_EQ(list, kUntouchedList) << name;
            EXPECT_EQ(count, kUntouchedCount) << name;
        }
    }
}

TEST_F(BackendLibrary, DeviceRecordsOutliveTheLibrarysAnswerAndAreRebuiltInPlace) {
    BackendPtr backend = backendForDevice(7);
    ASSERT_TRUE(backend->bindProviderFunction(&fakeGetProviders));
    fakePlatform().devices = {fakeDevice(5), fakeDevice(7)};
    ASSERT_TRUE(backend->getDeviceConfigs(&list, &count));
    const HwDeviceInfo expected = fakePlatform().devices[1];
    fakePlatform().devices = {fakeDevice(1)};  // the library's array changes
    expectSelected(list, count, expected);

    // A failed call (device 7 is gone) leaves the earlier selection readable.
    DeviceConfigList again = nullptr;
    uint32_t againCount = 0;
    EXPECT_FALSE(backend->getDeviceConfigs(&again, &againCount));
    expectSelected(list, count, expected);

    fakePlatform().devices = {fakeDevice(7)};
    ASSERT_TRUE(backend->getDeviceConfigs(&again, &againCount));
    EXPECT_EQ(again, list) << "rebuilt in the same storage";
    expectSelected(again, againCount, fakeDevice(7));

    // Another configuration, another device.
    ASSERT_TRUE(backend->loadConfigFile(writeTempFile(R"({"graph_names": ["g"], "device_id": 5})")));
    fakePlatform().devices = {fakeDevice(7), fakeDevice(5)};
    ASSERT_TRUE(backend->getDeviceConfigs(&again, &againCount));
    expectSelected(again, againCount, fakeDevice(5));
}

// Hosts bind and select devices from several threads at once, one backend
// object each: the substitute backend library hands every caller records
// that stay put (ThreadSanitizer runs this too).
TEST(SubstituteBackend, ThreadsBindAndSelectDevices) {
    const platform::LibraryHandle library = loadTestLibrary(VEK_SUBSTITUTE_BACKEND_PATH);
    const std::string config = writeTempFile(R"({"graph_names": ["g"], "device_id": 2})");
    std::vector<std::thread> threads;
    std::atomic<int> selected{0};
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i) {
                BackendPtr backend = makeBackend();
                DeviceConfigList devices = nullptr;
                uint32_t devicesCount = 0;
                if (backend->bindBackendLibrary(library) && backend->loadConfigFile(config) &&
                    backend->getDeviceConfigs(&devices, &devicesCount) &&
                    static_cast<const tools::kalder::PlatformInfo*>(devices[0]->data)->hwDevices[0].hwDeviceId == 2) {
                    ++selected;
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(selected, 60);
}

}  // namespace
}  // namespace vek::test
