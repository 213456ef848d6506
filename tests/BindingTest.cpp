// Binding to the GPU backend library: by handle (the substitute library,
// loaded for real) and by provider-listing function.
#include <gtest/gtest.h>

#include <cerrno>

#include "support/FakeBackend.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

using tools::kalder::DeviceConfigList;

const char* const kMismatch =
    "Backend version mismatch. Please use version of backend that matchescurrent backend API Definition version.";
const char* const kNoGpu = "Unable to find GPU interface provider.";

class Binding : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakeBackend();
        backend = makeBackend();
        captureLogsOf(*backend);
    }
    BackendPtr backend;
};

TEST_F(Binding, HandleFailures) {
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

TEST_F(Binding, ProviderSelectionAndVersion) {
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

TEST_F(Binding, FirstGpuProviderWinsAndARefusedOneIsKept) {
    // The first GPU record reports a refused version: the second, good one is
    // never looked at.
    fakeApiVersion() = FakeApiVersion{{0, 0, 0, 3, 12, 0}};
    setFakeProviders({fakeProvider(4, false), fakeProvider(4, true)});
    EXPECT_FALSE(backend->bindProviderFunction(&fakeGetProviders));

    // The refused record stays bound: it has no platform query, so a device
    // request falls back to the default. So does a failed selection after it.
    ASSERT_TRUE(backend->loadConfigFile(writeTempFile(R"({"graph_names": ["g"], "device_id": 5})")));
    setFakeProviders({fakeProvider(2)});
    EXPECT_FALSE(backend->bindProviderFunction(&fakeGetProviders));
    clearCapturedLines();
    DeviceConfigList list = nullptr;
    uint32_t count = 0;
    EXPECT_TRUE(backend->getDeviceConfigs(&list, &count));
    EXPECT_EQ(capturedLines(), std::vector<LogLine>{warnLine("deviceGetPlatformInfo undefined, defaulting to PRIMARY_GPU")});
    EXPECT_EQ(fakePlatform().queries, 0);
}

}  // namespace
}  // namespace vek::test
