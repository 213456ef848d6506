// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
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

// Around the format check of the logging statement: its format texts are
// literals or fixed message texts from tables, never user input, so the
// "format is not a literal" warning says nothing there.
#if defined(__GNUC__)
#define VEK_FORMAT_CHECK_BEGIN _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wformat-security\"")
#define VEK_FORMAT_CHECK_END _Pragma("GCC diagnostic pop")
#else
#define VEK_FORMAT_CHECK_BEGIN
#define VEK_FORMAT_CHECK_END
#endif
