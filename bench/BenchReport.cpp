// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Reads the benchmark results (Google Benchmark JSON) and the peak memory
// figures, and prints every ratio against its target.
//   vek_bench_report RESULTS.json MEMORY.txt INSTRUCTIONS.txt
// MEMORY.txt: one line per file, "<graph names> <file bytes> <peak bytes>".
// INSTRUCTIONS.txt: one line per file, "<file name> <floor> <load>", the
// instructions of one round each as callgrind counts them.
// Exit 1 when a target is missed.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <rapidjson/document.h>

namespace {

// The runs' times in nanoseconds, and the benchmarks whose file the plug-in accepts.
std::map<std::string, double> readNanoseconds(const std::string& path, std::map<std::string, bool>& accepted) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    rapidjson::Document results;
    results.Parse(text.str().c_str());
    std::map<std::string, double> times;
    if (results.HasParseError() || !results.HasMember("benchmarks")) return times;
    for (const auto& run : results["benchmarks"].GetArray()) {
        // With repetitions, only the median of each benchmark counts.
        std::string name = run["name"].GetString();
        const bool aggregate = run.HasMember("aggregate_name");
        if (aggregate && std::string(run["aggregate_name"].GetString()) != "median") continue;
        if (aggregate) name = run["run_name"].GetString();
        const size_t option = name.find("/min_time:");
        if (option != std::string::npos) name.erase(option);
        const std::string unit = run["time_unit"].GetString();
        const double scale = unit == "ms" ? 1e6 : unit == "us" ? 1e3 : unit == "s" ? 1e9 : 1.0;
        times[name] = run["real_time"].GetDouble() * scale;
        if (run.HasMember("accepted")) accepted[name] = run["accepted"].GetDouble() > 0;
    }
    return times;
}

bool failed = false;

void report(const std::string& what, double value, double target) {
    const bool met = value > 0 && value <= target;  // no figure is no success
    failed = failed || !met;
    std::printf("%-64s %8.2f  (target <= %.2f)  %s\n", what.c_str(), value, target, met ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vek_bench_report RESULTS.json MEMORY.txt INSTRUCTIONS.txt\n");
        return 2;
    }
    std::map<std::string, bool> accepted;
    std::map<std::string, double> ns = readNanoseconds(argv[1], accepted);
    auto ratio = [&ns](const std::string& a, const std::string& b) {
        return ns.count(a) && ns.count(b) && ns[b] > 0 ? ns[a] / ns[b] : -1.0;
    };

    double worstExample = 0;
    for (const char* example :
         {"example.json", "tuning.json", "fp16-two-graphs.json", "kernel-repo.json", "device-selection.json"}) {
        const double r = ratio(std::string("LoadConfigFile/") + example, std::string("Floor/") + example);
        std::printf("  loadConfigFile / floor on %-28s %8.2f\n", example, r);
        if (r > worstExample) worstExample = r;
    }
    report("loadConfigFile / floor, worst bundled example", worstExample, 1.5);
    report("loadConfigFile / floor at 1,000,000 graph names",
           ratio("LoadConfigFile/names:1000000", "Floor/names:1000000"), 2.0);
    report("vekhost check / loadConfigFile at 1,000,000 graph names",
           ratio("Check/names:1000000", "LoadConfigFile/names:1000000"), 3.0);

    std::vector<double> perName;
    for (const char* names : {"1000", "100000", "1000000"}) {
        const std::string name = std::string("LoadConfigFile/names:") + names;
        const double time = ns.count(name) ? ns[name] / std::stod(names) : -1.0;
        std::printf("  loadConfigFile time per graph name at %-9s %8.1f ns\n", names, time);
        perName.push_back(time);
    }
    double low = perName[0], high = perName[0];
    for (double t : perName) {
        low = std::min(low, t);
        high = std::max(high, t);
    }
    report("time per graph name, largest / smallest from 1,000 to 1,000,000", low > 0 ? high / low : -1.0, 1.5);

    // Many members in every shape: the time per member (beyond a file of
    // one member, the cost of a file as such) from 1,000 to 1,000,000
    // members, for the load and for the check. A thousandfold working set
    // measures the machine's caches too, so the growth may be as large as
    // the floor's own on the same files (where the floor grows); on a file
    // the plug-in accepts, the check costs at most three loads.
    const auto perMember = [&](const std::string& what, const std::string& shape, const char* members) {
        const std::string name = what + "/" + shape + "/members:" + members;
        const std::string one = what + "/" + shape + "/members:1";
        return ns.count(name) && ns.count(one) ? (ns[name] - ns[one]) / (std::stod(members) - 1) : -1.0;
    };
    for (const char* shape : {"null", "graph_names", "pairs", "deep_null", "unknown_keys", "repeated_keys", "wrong_types",
                              "warnings", "long_name", "long_value"}) {
        const double floorGrowth = perMember("MemberFloor", shape, "1000000") / perMember("MemberFloor", shape, "1000");
        for (const char* what : {"MemberLoad", "MemberCheck", "MemberFloor"}) {
            std::printf("  %-11s %-13s per member: %8.1f ns at 1,000, %8.1f ns at 1,000,000\n", what, shape,
                        perMember(what, shape, "1000"), perMember(what, shape, "1000000"));
        }
        // The plug-in's own cost is held on the shapes of a usual file; on the
        // others it is shown, and the check's is held.
        const bool usual = shape == std::string("null") || shape == std::string("graph_names") || shape == std::string("pairs");
        for (const char* what : {"MemberLoad", "MemberCheck"}) {
            if (!usual && what == std::string("MemberLoad")) continue;
            const double growth = perMember(what, shape, "1000000") / perMember(what, shape, "1000");
            report(std::string(what == std::string("MemberLoad") ? "loadConfigFile" : "check") + " per member 10^6/10^3 over floor's, " + shape,
                   growth > 0 && floorGrowth > 0 ? growth / std::max(1.0, floorGrowth) : -1.0, 1.5);
        }
        const std::string large = std::string("/") + shape + "/members:1000000";
        if (accepted["MemberLoad" + large]) report(std::string("check / loadConfigFile at 10^6, ") + shape, ratio("MemberCheck" + large, "MemberLoad" + large), 3.0);
    }
    // Typing in a 1 MB file: a keystroke's diagnostics from the language
    // server cost at most three checks of the file.
    for (const char* shape : {"graph_names", "warnings", "unknown_keys"}) {
        std::printf("  keystroke in a 1 MB file, %-13s %8.1f ms, the check %8.1f ms\n", shape,
                    ns[std::string("LspTyping/") + shape] / 1e6, ns[std::string("LspCheck/") + shape] / 1e6);
        report(std::string("language server keystroke / check, 1 MB ") + shape,
               ratio(std::string("LspTyping/") + shape, std::string("LspCheck/") + shape), 3.0);
    }
    report("loadConfigFile / floor at 1,000,000 null members",
           ratio("MemberLoad/null/members:1000000", "MemberFloor/null/members:1000000"), 2.0);

    std::ifstream memory(argv[2]);
    long long names = 0, fileBytes = 0, peakBytes = 0;
    std::string what;
    while (memory >> what >> names >> fileBytes >> peakBytes) {
        if (what == "shape") {
            // "shape SHAPE-NUMBER <file bytes> <load peak>" then the check's peak on its own line
            long long checkPeak = 0;
            std::string shape;
            memory >> shape >> checkPeak;
            const double mib = 1048576.0;
            std::printf("  peak memory on %-13s at 10^6: load %6.1f MiB, check %6.1f MiB (file %6.1f MiB)\n", shape.c_str(),
                        static_cast<double>(peakBytes) / mib, static_cast<double>(checkPeak) / mib, static_cast<double>(fileBytes) / mib);
            report("check's peak memory / (2 x load's + 4 MiB), " + shape,
                   static_cast<double>(checkPeak) / (2.0 * static_cast<double>(peakBytes) + 4 * mib), 1.0);
            continue;
        }
        if (what == "lsp") {
            // "lsp 0 <file bytes> <load peak> SHAPE <server's peak>"
            long long lspPeak = 0;
            std::string shape;
            memory >> shape >> lspPeak;
            const double mib = 1048576.0;
            std::printf("  peak memory on %-13s at 10^6: load %6.1f MiB, language server %6.1f MiB\n", shape.c_str(),
                        static_cast<double>(peakBytes) / mib, static_cast<double>(lspPeak) / mib);
            report("language server's peak memory / (2 x load's + 4 MiB), " + shape,
                   static_cast<double>(lspPeak) / (2.0 * static_cast<double>(peakBytes) + 4 * mib), 1.0);
            continue;
        }
        if (what == "many") {
            // "many 1000 <file bytes> <peak of one check>" then the peak of a thousand
            long long manyPeak = 0;
            memory >> manyPeak;
            std::printf("  peak memory of one check and of %lld in one process: %6.1f and %6.1f MiB\n", names,
                        static_cast<double>(peakBytes) / 1048576.0, static_cast<double>(manyPeak) / 1048576.0);
            report("peak memory of 1,000 files' load and check / (one's + 1 MiB)",
                   static_cast<double>(manyPeak) / (static_cast<double>(peakBytes) + 1048576.0), 1.0);
            continue;
        }
        if (what == "check") {
            std::printf("  peak memory of vekhost check at %lld names: %6.1f MiB\n", names,
                        static_cast<double>(peakBytes) / 1048576.0);
            report("vekhost check: peak memory beyond baseline / file size at 1,000,000 names",
                   static_cast<double>(peakBytes) / static_cast<double>(fileBytes), 4.0);
            continue;
        }
        std::printf("  peak memory at %-9lld names: %6.1f MiB for a %6.1f MiB file (%.2f times)\n", names,
                    static_cast<double>(peakBytes) / 1048576.0, static_cast<double>(fileBytes) / 1048576.0,
                    static_cast<double>(peakBytes) / static_cast<double>(fileBytes));
        if (names == 1000000) {
            report("peak memory beyond baseline / file size at 1,000,000 names",
                   static_cast<double>(peakBytes) / static_cast<double>(fileBytes), 4.0);
        }
    }

    std::printf("  filtered-out logging statement %.1f ns, delivered %.1f ns, mutex lock+unlock %.1f ns\n",
                ns["LogFilteredOut/threads:1"], ns["LogDelivered/threads:1"], ns["MutexLockUnlock"]);
    std::printf("  two threads: filtered-out %.1f ns, delivered %.1f ns\n", ns["LogFilteredOut/threads:2"],
                ns["LogDelivered/threads:2"]);
    report("filtered-out logging statement / uncontended mutex lock+unlock",
           ratio("LogFilteredOut/threads:1", "MutexLockUnlock"), 2.0);

    // The same ratios in instructions, which the machine's load cannot blur.
    std::printf("\nIn instructions (callgrind, one round each):\n");
    std::ifstream counts(argv[3]);
    std::string file;
    double floorIr = 0, loadIr = 0, worst = 0;
    std::map<std::string, double> loadPerName;
    while (counts >> file >> floorIr >> loadIr) {
        std::printf("  %-32s floor %14.0f  load %14.0f  ratio %5.2f\n", file.c_str(), floorIr, loadIr, loadIr / floorIr);
        if (file.find("-names.json") == std::string::npos) worst = std::max(worst, loadIr / floorIr);
        else loadPerName[file] = loadIr;
        if (file == "vek-bench-1000000-names.json") {
            report("instructions: loadConfigFile / floor at 1,000,000 graph names", loadIr / floorIr, 2.0);
        }
    }
    report("instructions: loadConfigFile / floor, worst bundled example", worst, 1.5);
    const double per1k = loadPerName["vek-bench-1000-names.json"] / 1e3;
    const double per100k = loadPerName["vek-bench-100000-names.json"] / 1e5;
    const double per1m = loadPerName["vek-bench-1000000-names.json"] / 1e6;
    std::printf("  instructions per graph name: %.0f at 1,000, %.0f at 100,000, %.0f at 1,000,000\n", per1k, per100k,
                per1m);
    report("instructions per graph name, largest / smallest",
           std::max({per1k, per100k, per1m}) / std::min({per1k, per100k, per1m}), 1.5);
    return failed ? 1 : 0;
}
