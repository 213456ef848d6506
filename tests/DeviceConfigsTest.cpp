// Device selection: the default device, every fallback, and the record of
// the device the configuration names.
#include <gtest/gtest.h>

#include <cstring>

#include "support/Cases.h"
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

// Every case of tests/cases/devices.json: the device asked for, what the
// library answers, and what the hook does with it.
TEST_F(DeviceConfigs, Selection) {
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
        EXPECT_EQ(backend->getDeviceConfigs(&list, &count), !c.HasMember("result")) << name;
        EXPECT_EQ(capturedLines(), expectedLog(c)) << name;
        if (c["device_id"].GetInt() == 0) {
            EXPECT_EQ(fakePlatform().queries, 0) << name;
        }
        if (c.HasMember("selects")) {
            expectSelected(list, count, platform.devices[c["selects"].GetUint()]);
        } else {
            EXPECT_EQ(list, kUntouchedList) << name;
            EXPECT_EQ(count, kUntouchedCount) << name;
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
