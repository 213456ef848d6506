# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Windows on ARM64, linked: Zig 0.11.0's clang, libc++ and MinGW-w64 runtime
# for aarch64-windows-gnu. scripts/windows-arm64.sh installs Zig (pinned,
# from npm) into a folder of its own, VEK_ZIG_HOME, with compiler wrappers in
# bin/ and the C++ runtime libraries in runtime/.
#
# Zig 0.11 builds its unwind library with dllexport, so every image linked the
# usual way exports 25 _Unwind_*/unw_* names besides its own. The images here
# link the C++ runtime by hand instead (-nostdlib++), from copies whose export
# directives were removed: the plug-in exports its two entry points and no more.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)
if(NOT VEK_ZIG_HOME)
  set(VEK_ZIG_HOME "$ENV{VEK_ZIG_HOME}")
endif()
if(NOT EXISTS "${VEK_ZIG_HOME}/bin/c++" OR NOT EXISTS "${VEK_ZIG_HOME}/runtime/unwind.lib")
  message(FATAL_ERROR "No prepared Zig toolchain in VEK_ZIG_HOME='${VEK_ZIG_HOME}': scripts/windows-arm64.sh installs one")
endif()
set(VEK_ZIG_HOME "${VEK_ZIG_HOME}" CACHE PATH "Zig toolchain prepared by scripts/windows-arm64.sh")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VEK_ZIG_HOME)

set(CMAKE_C_COMPILER ${VEK_ZIG_HOME}/bin/cc)
set(CMAKE_CXX_COMPILER ${VEK_ZIG_HOME}/bin/c++)
set(CMAKE_AR ${VEK_ZIG_HOME}/bin/ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${VEK_ZIG_HOME}/bin/ranlib CACHE FILEPATH "")
# Zig 0.11 has no resource compiler: LLVM's windres, for ARM64 (the wrapper
# beside the others).
set(CMAKE_RC_COMPILER ${VEK_ZIG_HOME}/bin/windres)
# Zig has no strip either: CPack strips the images it packs with LLVM's, which
# also drops the debug sections of the prebuilt C++ runtime.
find_program(CMAKE_STRIP NAMES llvm-strip-14 llvm-strip REQUIRED)

# lld takes archives in any order, so they can stand among the flags (the
# Windows platform files overwrite the standard libraries' variable).
set(VEK_ZIG_RUNTIME
    "-nostdlib++ \"${VEK_ZIG_HOME}/runtime/c++.lib\" \"${VEK_ZIG_HOME}/runtime/c++abi.lib\" \"${VEK_ZIG_HOME}/runtime/unwind.lib\"")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${VEK_ZIG_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${VEK_ZIG_RUNTIME}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${VEK_ZIG_RUNTIME}")

set(CMAKE_FIND_ROOT_PATH ${VEK_ZIG_HOME})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
