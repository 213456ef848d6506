// Compiler and linkage attributes. The only place that names a compiler.
#pragma once

#if defined(_WIN32)
#define VEK_EXPORT __declspec(dllexport)
#elif defined(__GNUC__)
#define VEK_EXPORT __attribute__((visibility("default")))
#else
#define VEK_EXPORT
#endif

// Lets the compiler check a printf-style format text against its arguments.
#if defined(__GNUC__)
#define VEK_PRINTF_FORMAT(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define VEK_PRINTF_FORMAT(fmtIndex, firstArg)
#endif
