// Device selection: the default device, every fallback, and the record of
// the device the configuration names.
#include <gtest/gtest.h>

#include <cstring>

#include "support/FakeBackend.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

using tools::kalder::DeviceConfigList;
using tools::kalder::DeviceConfigRecord;

BackendPtr backendForDevice(int deviceId) {
    BackendPtr backend = makeBackend();
    const std::string config = R"({"graph_names": ["g"], "device_id": )" + std::to_string(deviceId) + "}";
    EXPECT_TRUE(backend->loadConfigFile(writeTempFile(config)));
    return backend;
}

// The cells as a host sets them before the call; left alone unless a device is selected.
const DeviceConfigRecord* const kUntouchedList[] = {nullptr};
constexpr uint32_t kUntouchedCount = 77;

class DeviceConfigs : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakeBackend();
        setFakeProviders({fakeProvider(2), fakeProvider(4)});
    }
    DeviceConfigList list = kUntouchedList;
    uint32_t count = kUntouchedCount;
};

// The one device of the handed-out platform, checked against `expected` byte for byte.
void expectSelected(DeviceConfigList list, uint32_t count, const HwDeviceInfo& expected) {
    Problems problems;
    const HwDeviceInfo selected = readDeviceList(list, count, problems);
    EXPECT_EQ(problems, Problems{});
    EXPECT_EQ(std::memcmp(&selected, &expected, sizeof expected), 0);
}

TEST_F(DeviceConfigs, NullCellsFailBeforeAnyQuery) {
    BackendPtr backend = backendForDevice(7);
    captureLogsOf(*backend);
    ASSERT_TRUE(backend->bindProviderFunction(&fakeGetProviders));
    EXPECT_FALSE(backend->getDeviceConfigs(&list, nullptr));
    EXPECT_FALSE(backend->getDeviceConfigs(nullptr, &count));
    EXPECT_EQ(capturedLines(), std::vector<LogLine>(2, errorLine("Invalid device config args")));
    EXPECT_EQ(fakePlatform().queries, 0);
}

TEST_F(DeviceConfigs, Selection) {
    const struct {
        const char* name;
        int deviceId;
        FakePlatform platform;
        bool bound;
        bool result;
        std::vector<LogLine> lines;
        int selectedIndex;  // into platform.devices; -1 for nothing handed out
    } cases[] = {
        {"default device, no query", 0, {0, false, 1, {fakeDevice(0)}}, true, true,
         {infoLine("Using default PRIMARY_GPU device")}, -1},
        {"match in the middle", 7, {0, false, 1, {fakeDevice(5), fakeDevice(7), fakeDevice(9)}}, true, true, {}, 1},
        {"no match", 8, {0, false, 1, {fakeDevice(5), fakeDevice(7), fakeDevice(9)}}, true, false,
         {errorLine("Unable to find device with matching device_id")}, -1},
        {"first of two equal ids", 7, {0, false, 1, {fakeDevice(7), fakeDevice(7, 1)}}, true, true, {}, 0},
        {"bad version after the match is not examined", 5, {0, false, 1, {fakeDevice(5), fakeDevice(9, 2)}}, true,
         true, {}, 0},
        {"bad version before the match", 9, {0, false, 1, {fakeDevice(5, 2), fakeDevice(9)}}, true, true,
         {warnLine("Invalid hardware info version, defaulting to PRIMARY_GPU")}, -1},
        {"negative id compares as 32 bits", -1, {0, false, 1, {fakeDevice(0xFFFFFFFFu)}}, true, true, {}, 0},
        {"query fails", 7, {3, false, 1, {fakeDevice(7)}}, true, true,
         {warnLine("Failed to get platform info, defaulting to PRIMARY_GPU")}, -1},
        {"query gives no info", 7, {0, true, 1, {}}, true, true,
         {warnLine("Failed to get platform info, defaulting to PRIMARY_GPU")}, -1},
        {"platform version 2", 7, {0, false, 2, {fakeDevice(7)}}, true, true,
         {warnLine("Invalid platform info version, defaulting to PRIMARY_GPU")}, -1},
        {"no devices", 7, {0, false, 1, {}}, true, true,
         {warnLine("Invalid number of platform hardware devices, defaulting to PRIMARY_GPU")}, -1},
        {"never bound", 7, {0, false, 1, {fakeDevice(7)}}, false, true,
         {warnLine("deviceGetPlatformInfo undefined, defaulting to PRIMARY_GPU")}, -1},
    };
    for (const auto& c : cases) {
        BackendPtr backend = backendForDevice(c.deviceId);
        if (c.bound) {
            ASSERT_TRUE(backend->bindProviderFunction(&fakeGetProviders)) << c.name;
        }
        fakePlatform() = c.platform;
        captureLogsOf(*backend);
        list = kUntouchedList;
        count = kUntouchedCount;
        EXPECT_EQ(backend->getDeviceConfigs(&list, &count), c.result) << c.name;
        EXPECT_EQ(capturedLines(), c.lines) << c.name;
        if (c.deviceId == 0) {
            EXPECT_EQ(fakePlatform().queries, 0);
        }
        if (c.selectedIndex >= 0) {
            expectSelected(list, count, c.platform.devices[static_cast<size_t>(c.selectedIndex)]);
        } else {
            EXPECT_EQ(list, kUntouchedList) << c.name;
            EXPECT_EQ(count, kUntouchedCount) << c.name;
        }
    }
}

TEST_F(DeviceConfigs, RecordsOutliveTheLibrarysAnswerAndAreRebuiltInPlace) {
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

}  // namespace
}  // namespace vek::test
