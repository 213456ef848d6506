# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Each Windows DLL and EXE we ship gets a VERSIONINFO resource from the
# project's one version: what Explorer's file properties and
# GetFileVersionInfo show. The resource script has no #include or #define,
# so every resource compiler takes it without a preprocessor (llvm-windres
# for the Zig toolchain). In a reproducible build, an image linked by the Zig
# toolchain, whose linker stamps it with the link time and a new GUID, is
# given fixed ones after the link (cmake/package/pe-normalize.py).
if(NOT WIN32)
  function(vek_windows_image)
  endfunction()
  return()
endif()
enable_language(RC)

function(vek_windows_image target description)
  get_target_property(type ${target} TYPE)
  set(VEK_RC_FILETYPE 0x1)
  set(suffix .exe)
  if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
    set(VEK_RC_FILETYPE 0x2)
    set(suffix .dll)
  endif()
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  set(VEK_RC_NAME ${name})
  set(VEK_RC_FILENAME ${name}${suffix})
  set(VEK_RC_DESCRIPTION "${description}")
  set(VEK_RC_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/package/VersionInfo.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc)
  if(VEK_REPRODUCIBLE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND NOT MSVC)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    # Stripped first, as the packages ship it: the debug sections of the
    # prebuilt C++ runtime name the folder of the toolchain's cache, and the
    # GUID hashed from the image must not depend on where that lies.
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_STRIP} $<TARGET_FILE:${target}>
      COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/package/pe-normalize.py $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()
