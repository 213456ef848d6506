// Binding to the GPU backend library: by handle (the substitute library,
// loaded for real) and by provider-listing function.
#include <gtest/gtest.h>

#include <cerrno>

#include "support/Env.h"
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
        unsetEnv("VEK_SUBSTITUTE_API_VERSION");
        backend = makeBackend();
        captureLogsOf(*backend);
    }
    BackendPtr backend;
};

TEST_F(Binding, ByHandleWithTheSubstituteLibrary) {
    platform::LibraryHandle library = loadTestLibrary(VEK_SUBSTITUTE_BACKEND_PATH);
    const struct {
        const char* version;
        bool accepted;
    } cases[] = {{"3.13", true}, {"3.20", true}, {"3.4294967295", true}, {"3.12", false},
                 {"2.13", false}, {"4.0", false},  {"4.13", false}};
    for (const auto& c : cases) {
        setEnv("VEK_SUBSTITUTE_API_VERSION", c.version);
        clearCapturedLines();
        EXPECT_EQ(backend->bindBackendLibrary(library), c.accepted) << c.version;
        const std::vector<LogLine> expected = c.accepted ? std::vector<LogLine>{} : std::vector<LogLine>{errorLine(kMismatch)};
        EXPECT_EQ(capturedLines(), expected) << c.version;
    }
    unsetEnv("VEK_SUBSTITUTE_API_VERSION");
}

TEST_F(Binding, HandleFailures) {
    EXPECT_FALSE(backend->bindBackendLibrary(nullptr));
    // The plug-in itself is a loaded library without the provider symbol.
    EXPECT_FALSE(backend->bindBackendLibrary(Plugin::instance().handle()));
#if defined(_WIN32)
    const std::string code = "127";  // ERROR_PROC_NOT_FOUND
#else
    const std::string code = std::to_string(ENOENT);
#endif
    EXPECT_EQ(capturedLines(),
              (std::vector<LogLine>{errorLine("Invalid backend handle"),
                                    errorLine("Unable to find symbols. Error code : %d",
                                              "Unable to find symbols. Error code : " + code)}));
    EXPECT_FALSE(backend->bindProviderFunction(nullptr));
    EXPECT_EQ(capturedLines().back(), errorLine("Get providers function pointer is null"));
}

TEST_F(Binding, ProviderSelection) {
    const ProviderRecord cpu = fakeProvider(2), gpu = fakeProvider(4), other = fakeProvider(7);
    const struct {
        const char* name;
        std::vector<ProviderRecord> providers;
        bool bound;
        std::vector<LogLine> lines;
    } cases[] = {
        {"GPU third", {cpu, other, gpu}, true, {}},
        {"GPU only", {gpu}, true, {}},
        {"empty list", {}, false, {errorLine(kNoGpu)}},
        {"no GPU", {cpu, other}, false, {errorLine(kNoGpu)}},
    };
    for (const auto& c : cases) {
        setFakeProviders(c.providers);
        clearCapturedLines();
        EXPECT_EQ(backend->bindProviderFunction(&fakeGetProviders), c.bound) << c.name;
        EXPECT_EQ(capturedLines(), c.lines) << c.name;
    }
}

TEST_F(Binding, VersionNumbersThatCount) {
    setFakeProviders({fakeProvider(4)});
    const struct {
        FakeApiVersion version;
        bool accepted;
    } cases[] = {
        {{{0, 0, 0, 3, 13, 0}}, true},
        {{{~0u, ~0u, ~0u, 3, 13, ~0u}}, true},  // the others are not read
        {{{3, 13, 3, 3, 12, 13}}, false},
        {{{3, 13, 0, 2, 13, 3}}, false},
        {{{0, 0, 0, 0, 0, 0}}, false},
    };
    for (const auto& c : cases) {
        fakeApiVersion() = c.version;
        EXPECT_EQ(backend->bindProviderFunction(&fakeGetProviders), c.accepted);
    }
}

TEST_F(Binding, FirstGpuProviderWinsAndARefusedOneIsKept) {
    // The first GPU record reports a refused version: the second, good one is
    // never looked at.
    fakeApiVersion() = FakeApiVersion{{0, 0, 0, 3, 12, 0}};
    setFakeProviders({fakeProvider(4, false), fakeProvider(4, true)});
    EXPECT_FALSE(backend->bindProviderFunction(&fakeGetProviders));

    // The refused record stays bound: it has no platform query, so a device
    // request falls back to the default.
    ASSERT_TRUE(backend->loadConfigFile(writeTempFile(R"({"graph_names": ["g"], "device_id": 5})")));
    clearCapturedLines();
    DeviceConfigList list = nullptr;
    uint32_t count = 0;
    EXPECT_TRUE(backend->getDeviceConfigs(&list, &count));
    EXPECT_EQ(capturedLines(), std::vector<LogLine>{warnLine("deviceGetPlatformInfo undefined, defaulting to PRIMARY_GPU")});
    EXPECT_EQ(fakePlatform().queries, 0);

    // A failed selection (no GPU provider) keeps the earlier copy too.
    setFakeProviders({fakeProvider(2)});
    EXPECT_FALSE(backend->bindProviderFunction(&fakeGetProviders));
    EXPECT_TRUE(backend->getDeviceConfigs(&list, &count));
    EXPECT_EQ(fakePlatform().queries, 0);
}

}  // namespace
}  // namespace vek::test
