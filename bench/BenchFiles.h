// The configuration files every benchmark runs on: the bundled examples and
// generated files with many graph names.
#pragma once

#include <string>
#include <vector>

namespace vek::bench {

// Writes (once) a configuration with `graphNames` graph names and the other
// keys, and returns its path.
std::string scaleFile(size_t graphNames);

// The bundled examples, by path.
std::vector<std::string> exampleFiles();

// The plug-in and the substitute backend, built beside the benchmarks.
std::string besideBenchmarks(const std::string& fileName);

}  // namespace vek::bench
