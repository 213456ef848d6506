#include "Cases.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vek::test {

tools::kalder::ConfigDocument readCases(const std::string& name) {
    std::ifstream in(std::string(VEK_TEST_CASES) + "/" + name, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    tools::kalder::ConfigDocument cases;
    if (cases.Parse(text.c_str(), text.size()).HasParseError() || !cases.IsArray()) {
        throw std::runtime_error("cannot read the cases in " + name);
    }
    return cases;
}

std::string compact(const tools::kalder::ConfigValue& value) {
    tools::kalder::JsonBuffer buffer;
    tools::kalder::JsonWriter writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace vek::test
