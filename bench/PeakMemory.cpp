// Peak memory of one loadConfigFile beyond the process's baseline:
//   vek_peak_memory FILE
// prints "<file bytes> <peak bytes beyond baseline>". Linux only (reads
// VmHWM from /proc/self/status).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "BackendExtensions/IBackend.h"
#include "BenchFiles.h"
#include "platform/DynamicLibrary.h"

namespace {

long long peakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vek_peak_memory FILE\n");
        return 2;
    }
    using namespace vek;
    bench::Plugin& plugin = bench::Plugin::get();
    tools::kalder::IBackend* backend = plugin.create();
    backend->installLogger(&bench::discardLog, VEK_LOG_LEVEL_WARN);
    const long long baseline = peakResidentBytes();
    const bool loaded = backend->loadConfigFile(argv[1]);
    const long long peak = peakResidentBytes();
    plugin.destroy(backend);
    std::printf("%lld %lld\n", static_cast<long long>(std::filesystem::file_size(argv[1])), peak - baseline);
    return loaded ? 0 : 1;
}
