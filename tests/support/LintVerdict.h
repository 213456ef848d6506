// The runner's configuration check, for holding against the plug-in's
// verdict on the same file: it must find an error exactly when the plug-in
// refuses the file.
#pragma once

#include <string>
#include <string_view>

namespace vek::test {

// True when the check finds an error in the file (or text), read with the
// schema the plug-in carries.
bool lintFindsError(const std::string& path);
bool lintFindsErrorInText(std::string_view text);

}  // namespace vek::test
