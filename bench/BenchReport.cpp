// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Reads the benchmark results (Google Benchmark JSON) and the peak memory
// figures, and prints every ratio against its target.
//   vek_bench_report RESULTS.json... MEMORY.txt INSTRUCTIONS.txt
// MEMORY.txt: one line per file, "<graph names> <file bytes> <peak bytes>".
// INSTRUCTIONS.txt: one line per file, "<file name> <floor> <load>", the
// instructions of one round each as callgrind counts them.
// Exit 1 when a target is missed; a figure that is missing misses its target.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <rapidjson/document.h>

namespace {

// A benchmark's time in nanoseconds: the median row where Google Benchmark
// wrote aggregates (--benchmark_repetitions), else the median of its runs.
struct Results {
    std::map<std::string, double> ns;
    std::map<std::string, bool> accepted;  // the benchmarks whose file the plug-in takes

    bool has(const std::string& name) const { return ns.count(name) > 0; }
    double at(const std::string& name) const { return has(name) ? ns.at(name) : -1.0; }
    // a / b, or -1 when either is missing.
    double ratio(const std::string& a, const std::string& b) const { return has(a) && has(b) && at(b) > 0 ? at(a) / at(b) : -1.0; }
};

std::string withoutOptions(std::string name) {
    const size_t option = name.find("/min_time:");
    if (option != std::string::npos) name.erase(option);
    return name;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void readResults(const std::string& path, Results& read) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    rapidjson::Document results;
    results.Parse(text.str().c_str());
    if (results.HasParseError() || !results.HasMember("benchmarks")) return;
    std::map<std::string, std::vector<double>> runs;
    std::map<std::string, double> medians;
    for (const auto& run : results["benchmarks"].GetArray()) {
        const bool aggregate = run.HasMember("aggregate_name");
        if (aggregate && std::string(run["aggregate_name"].GetString()) != "median") continue;
        const std::string name = withoutOptions(run[aggregate ? "run_name" : "name"].GetString());
        const std::string unit = run["time_unit"].GetString();
        const double scale = unit == "ms" ? 1e6 : unit == "us" ? 1e3 : unit == "s" ? 1e9 : 1.0;
        const double ns = run["real_time"].GetDouble() * scale;
        if (aggregate) medians[name] = ns;
        else runs[name].push_back(ns);
        if (run.HasMember("accepted")) read.accepted[name] = run["accepted"].GetDouble() > 0;
    }
    for (const auto& [name, times] : runs) read.ns[name] = median(times);
    for (const auto& [name, ns] : medians) read.ns[name] = ns;
}

bool failed = false;

// The shapes of the member files, as the benchmarks name them.
const char* const kShapes[] = {"null", "graph_names", "pairs", "deep_null", "unknown_keys", "repeated_keys", "wrong_types",
                               "warnings", "long_name", "long_value"};

void report(const std::string& what, double value, double target) {
    const bool met = value > 0 && value <= target;  // no figure is no success
    failed = failed || !met;
    std::printf("%-64s %8.2f  (target <= %.2f)  %s\n", what.c_str(), value, target, met ? "met" : "MISSED");
}

void reportLoads(const Results& r) {
    double worstExample = 0;
    for (const char* example : {"example.json", "tuning.json", "fp16-two-graphs.json", "kernel-repo.json", "device-selection.json"}) {
        const double ratio = r.ratio(std::string("LoadConfigFile/") + example, std::string("Floor/") + example);
        std::printf("  loadConfigFile / floor on %-28s %8.2f\n", example, ratio);
        worstExample = ratio < 0 || worstExample < 0 ? -1.0 : std::max(worstExample, ratio);
    }
    report("loadConfigFile / floor, worst bundled example", worstExample, 1.5);
    report("loadConfigFile / floor at 1,000,000 graph names", r.ratio("LoadConfigFile/names:1000000", "Floor/names:1000000"), 2.0);
    report("vekhost check / loadConfigFile at 1,000,000 graph names", r.ratio("Check/names:1000000", "LoadConfigFile/names:1000000"), 3.0);
    std::vector<double> perName;
    for (const char* names : {"1000", "100000", "1000000"}) {
        const std::string name = std::string("LoadConfigFile/names:") + names;
        perName.push_back(r.has(name) ? r.at(name) / std::stod(names) : -1.0);
        std::printf("  loadConfigFile time per graph name at %-9s %8.1f ns\n", names, perName.back());
    }
    const auto [low, high] = std::minmax_element(perName.begin(), perName.end());
    report("time per graph name, largest / smallest from 1,000 to 1,000,000", *low > 0 ? *high / *low : -1.0, 1.5);
    report("loadConfigFile / floor at 1,000,000 null members", r.ratio("MemberLoad/null/members:1000000", "MemberFloor/null/members:1000000"), 2.0);
}

// Many members in every shape: the time per member (beyond a file of one
// member, the cost of a file as such) from 1,000 to 1,000,000 members, for
// the load and for the check. A thousandfold working set measures the
// machine's caches too, so the growth may be as large as the floor's own on
// the same files (where the floor grows); on a file the plug-in accepts,
// the check costs at most three loads.
void reportMembers(const Results& r) {
    const auto perMember = [&](const std::string& what, const std::string& shape, const char* members) {
        const std::string name = what + "/" + shape + "/members:" + members, one = what + "/" + shape + "/members:1";
        return r.has(name) && r.has(one) ? (r.at(name) - r.at(one)) / (std::stod(members) - 1) : -1.0;
    };
    const auto growth = [&](const std::string& what, const std::string& shape) {
        const double small = perMember(what, shape, "1000"), large = perMember(what, shape, "1000000");
        return small > 0 && large > 0 ? large / small : -1.0;
    };
    for (const std::string shape : kShapes) {
        for (const char* what : {"MemberLoad", "MemberCheck", "MemberFloor"}) {
            std::printf("  %-11s %-13s per member: %8.1f ns at 1,000, %8.1f ns at 1,000,000\n", what, shape.c_str(),
                        perMember(what, shape, "1000"), perMember(what, shape, "1000000"));
        }
        // The plug-in's own cost is held on the shapes of a usual file; on the
        // others it is shown, and the check's is held.
        const bool usual = shape == "null" || shape == "graph_names" || shape == "pairs";
        const double floorGrowth = growth("MemberFloor", shape);
        for (const std::string what : {"MemberLoad", "MemberCheck"}) {
            if (!usual && what == "MemberLoad") continue;
            const double own = growth(what, shape);
            report((what == "MemberLoad" ? "loadConfigFile" : "check") + std::string(" per member 10^6/10^3 over floor's, ") + shape,
                   own > 0 && floorGrowth > 0 ? own / std::max(1.0, floorGrowth) : -1.0, 1.5);
        }
        const std::string large = "/" + shape + "/members:1000000";
        if (r.accepted.count("MemberLoad" + large) && r.accepted.at("MemberLoad" + large)) {
            report("check / loadConfigFile at 10^6, " + shape, r.ratio("MemberCheck" + large, "MemberLoad" + large), 3.0);
        }
    }
}

// Typing in a 1 MB file of every shape: a keystroke's diagnostics from the
// language server cost at most 1.1 times the check of the same text.
void reportServer(const Results& r) {
    for (const std::string shape : kShapes) {
        std::printf("  keystroke in a 1 MB file, %-13s %8.1f ms, the check %8.1f ms\n", shape.c_str(), r.at("LspTyping/" + shape) / 1e6,
                    r.at("LspCheck/" + shape) / 1e6);
        report("language server keystroke / check, 1 MB " + shape, r.ratio("LspTyping/" + shape, "LspCheck/" + shape), 1.1);
    }
}

void reportLogging(const Results& r) {
    std::printf("  filtered-out logging statement %.1f ns, delivered %.1f ns, mutex lock+unlock %.1f ns\n", r.at("LogFilteredOut/threads:1"),
                r.at("LogDelivered/threads:1"), r.at("MutexLockUnlock"));
    std::printf("  two threads: filtered-out %.1f ns, delivered %.1f ns\n", r.at("LogFilteredOut/threads:2"), r.at("LogDelivered/threads:2"));
    report("filtered-out logging statement / uncontended mutex lock+unlock", r.ratio("LogFilteredOut/threads:1", "MutexLockUnlock"), 2.0);
}

// A peak against its bound: twice the load's peak and 4 MiB.
void reportPeak(const std::string& what, const std::string& shape, long long peak, long long loadPeak, long long fileBytes) {
    const double mib = 1048576.0;
    std::printf("  peak memory on %-13s at 10^6: load %6.1f MiB, %s %6.1f MiB (file %6.1f MiB)\n", shape.c_str(),
                static_cast<double>(loadPeak) / mib, what.c_str(), static_cast<double>(peak) / mib, static_cast<double>(fileBytes) / mib);
    report(what + "'s peak memory / (2 x load's + 4 MiB), " + shape, static_cast<double>(peak) / (2.0 * static_cast<double>(loadPeak) + 4 * mib), 1.0);
}

void reportMemory(const std::string& path) {
    std::ifstream memory(path);
    long long names = 0, fileBytes = 0, peakBytes = 0, other = 0;
    std::string what, shape;
    const double mib = 1048576.0;
    while (memory >> what >> names >> fileBytes >> peakBytes) {
        if (what == "shape" || what == "lsp") {
            // "shape|lsp 0 <file bytes> <load peak> SHAPE <the check's or the server's peak>"
            memory >> shape >> other;
            reportPeak(what == "shape" ? "check" : "language server", shape, other, peakBytes, fileBytes);
        } else if (what == "many") {
            // "many 1000 <file bytes> <peak of one check> <peak of a thousand>"
            memory >> other;
            std::printf("  peak memory of one check and of %lld in one process: %6.1f and %6.1f MiB\n", names,
                        static_cast<double>(peakBytes) / mib, static_cast<double>(other) / mib);
            report("peak memory of 1,000 files' load and check / (one's + 1 MiB)", static_cast<double>(other) / (static_cast<double>(peakBytes) + mib), 1.0);
        } else {
            const bool check = what == "check";
            std::printf("  peak memory of %s at %-9lld names: %6.1f MiB for a %6.1f MiB file (%.2f times)\n", check ? "vekhost check" : "a load",
                        names, static_cast<double>(peakBytes) / mib, static_cast<double>(fileBytes) / mib,
                        static_cast<double>(peakBytes) / static_cast<double>(fileBytes));
            if (names == 1000000) {
                report(std::string(check ? "vekhost check: " : "") + "peak memory beyond baseline / file size at 1,000,000 names",
                       static_cast<double>(peakBytes) / static_cast<double>(fileBytes), 4.0);
            }
        }
    }
}

// The same ratios in instructions, which the machine's load cannot blur.
void reportInstructions(const std::string& path) {
    std::printf("\nIn instructions (callgrind, one round each):\n");
    std::ifstream counts(path);
    std::string file;
    double floorIr = 0, loadIr = 0, worst = -1;
    std::map<std::string, double> loadPerName;
    while (counts >> file >> floorIr >> loadIr) {
        std::printf("  %-32s floor %14.0f  load %14.0f  ratio %5.2f\n", file.c_str(), floorIr, loadIr, loadIr / floorIr);
        if (file.find("-names.json") == std::string::npos) worst = std::max(worst, loadIr / floorIr);
        else loadPerName[file] = loadIr;
        if (file == "vek-bench-1000000-names.json") report("instructions: loadConfigFile / floor at 1,000,000 graph names", loadIr / floorIr, 2.0);
    }
    report("instructions: loadConfigFile / floor, worst bundled example", worst, 1.5);
    std::vector<double> perName;
    for (const auto& [names, count] : {std::pair<const char*, double>{"1000", 1e3}, {"100000", 1e5}, {"1000000", 1e6}}) {
        const std::string file = std::string("vek-bench-") + names + "-names.json";
        perName.push_back(loadPerName.count(file) ? loadPerName[file] / count : -1.0);
    }
    std::printf("  instructions per graph name: %.0f at 1,000, %.0f at 100,000, %.0f at 1,000,000\n", perName[0], perName[1], perName[2]);
    const auto [low, high] = std::minmax_element(perName.begin(), perName.end());
    report("instructions per graph name, largest / smallest", *low > 0 ? *high / *low : -1.0, 1.5);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: vek_bench_report RESULTS.json... MEMORY.txt INSTRUCTIONS.txt\n");
        return 2;
    }
    Results results;
    for (int i = 1; i + 2 < argc; ++i) readResults(argv[i], results);
    reportLoads(results);
    reportMembers(results);
    reportServer(results);
    reportMemory(argv[argc - 2]);
    reportLogging(results);
    reportInstructions(argv[argc - 1]);
    return failed ? 1 : 0;
}
