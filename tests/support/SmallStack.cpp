#include "SmallStack.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace vek::test {
namespace {

#if defined(_WIN32)
DWORD WINAPI runBody(void* body) {
    (*static_cast<const std::function<void()>*>(body))();
    return 0;
}
#else
void* runBody(void* body) {
    (*static_cast<const std::function<void()>*>(body))();
    return nullptr;
}
#endif

}  // namespace

bool runOnSmallStack(size_t stackBytes, const std::function<void()>& body) {
    void* argument = const_cast<std::function<void()>*>(&body);
#if defined(_WIN32)
    HANDLE thread = CreateThread(nullptr, stackBytes, runBody, argument, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return false;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return true;
#else
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, runBody, argument) == 0;
    pthread_attr_destroy(&attributes);
    if (started) pthread_join(thread, nullptr);
    return started;
#endif
}

}  // namespace vek::test
