// Runs a function on a thread with a small stack, as a host's worker might.
#pragma once

#include <cstddef>
#include <functional>

namespace vek::test {

// Runs `body` on a new thread with `stackBytes` of stack and waits for it.
// False when the thread could not be started.
bool runOnSmallStack(size_t stackBytes, const std::function<void()>& body);

}  // namespace vek::test
