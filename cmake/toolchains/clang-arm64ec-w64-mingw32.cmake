# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Windows ARM64EC objects with Debian's clang 19 and the MinGW-w64 headers,
# for compiling the plug-in's sources only: nothing here can link ARM64EC (no
# ARM64EC C or C++ runtime exists outside the MSVC toolchain). The target
# defines __x86_64__, so the MinGW-w64 headers take their x86 paths; sources
# that reach x86 inline assembly through them cannot be compiled (see
# scripts/arm64ec.sh). RapidJSON 1.1.0 does not compile with clang 19: give
# RAPIDJSON_INCLUDE_DIR a current RapidJSON.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64EC)
set(CMAKE_C_COMPILER clang-19)
set(CMAKE_CXX_COMPILER clang++-19)
set(CMAKE_C_COMPILER_TARGET arm64ec-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET arm64ec-w64-mingw32)
set(CMAKE_AR llvm-ar-19)
# Found for the version resources; nothing is linked here.
set(CMAKE_RC_COMPILER llvm-windres-19)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
file(GLOB VEK_MINGW_CXX_HEADERS /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++)
list(GET VEK_MINGW_CXX_HEADERS 0 VEK_MINGW_CXX_HEADERS)
set(VEK_MINGW_HEADERS /usr/x86_64-w64-mingw32/include)
set(CMAKE_C_FLAGS_INIT "-isystem ${VEK_MINGW_HEADERS}")
set(CMAKE_CXX_FLAGS_INIT
    "-nostdinc++ -isystem ${VEK_MINGW_CXX_HEADERS} -isystem ${VEK_MINGW_CXX_HEADERS}/x86_64-w64-mingw32 -isystem ${VEK_MINGW_HEADERS}")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
