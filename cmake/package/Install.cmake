# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Installation: the plug-in, the host-side headers, the runner, the
# substitute backend, the schemas and the examples, and the CMake package
# and pkg-config file hosts find them with.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS VekGpuKalderExtensions
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(VEK_HEADERS_ROOT ${CMAKE_INSTALL_INCLUDEDIR}/VekGpuKalderExtensions)
install(FILES BackendExtensions/IBackend.h BackendExtensions/BackendRecords.h
        DESTINATION ${VEK_HEADERS_ROOT}/BackendExtensions)
install(FILES BackendExtensions/GPUBackendExtensions/GpuOptions.h
        DESTINATION ${VEK_HEADERS_ROOT}/BackendExtensions/GPUBackendExtensions)
install(FILES log/LogTypes.h DESTINATION ${VEK_HEADERS_ROOT}/log)
set(VEK_PACKAGE_DATADIR ${CMAKE_INSTALL_DATADIR}/VekGpuKalderExtensions)
install(FILES BackendExtensions/GPUBackendExtensions/configSchema.json
              BackendExtensions/GPUBackendExtensions/configSchema.editor.json
        DESTINATION ${VEK_PACKAGE_DATADIR})
install(FILES ${VEK_EXAMPLES} DESTINATION ${VEK_PACKAGE_DATADIR}/examples)
if(VEK_BUILD_TOOLS)
  install(TARGETS vekhost VekSubstituteBackend
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

# Where the plug-in lands: a DLL beside the programs on Windows, a shared
# object in the library directory elsewhere.
if(WIN32)
  set(VEK_PACKAGE_PLUGIN ${CMAKE_INSTALL_BINDIR}/VekGpuKalderExtensions.dll)
else()
  set(VEK_PACKAGE_PLUGIN ${CMAKE_INSTALL_LIBDIR}/${CMAKE_SHARED_LIBRARY_PREFIX}VekGpuKalderExtensions${CMAKE_SHARED_LIBRARY_SUFFIX})
endif()
set(VEK_PACKAGE_INCLUDEDIR ${VEK_HEADERS_ROOT})
set(VEK_PACKAGE_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/VekGpuKalderExtensions)
configure_package_config_file(cmake/package/VekGpuKalderExtensionsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/VekGpuKalderExtensionsConfig.cmake
  INSTALL_DESTINATION ${VEK_PACKAGE_CMAKEDIR}
  PATH_VARS VEK_PACKAGE_INCLUDEDIR VEK_PACKAGE_PLUGIN VEK_PACKAGE_DATADIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/VekGpuKalderExtensionsConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/VekGpuKalderExtensionsConfig.cmake
              ${PROJECT_BINARY_DIR}/package/VekGpuKalderExtensionsConfigVersion.cmake
        DESTINATION ${VEK_PACKAGE_CMAKEDIR})
# The .pc file names the prefix the tree is installed to (cmake --install
# --prefix decides it, so it is written then), and plain paths under it. A
# host loads the plug-in with dlopen, which wants the dl library where the C
# library does not hold it.
set(VEK_PC_PREFIX "@VEK_INSTALL_PREFIX@")
set(VEK_PC_DL_LIBS "")
if(CMAKE_DL_LIBS)
  set(VEK_PC_DL_LIBS "-l${CMAKE_DL_LIBS}")
endif()
configure_file(cmake/package/VekGpuKalderExtensions.pc.in ${PROJECT_BINARY_DIR}/package/VekGpuKalderExtensions.pc.in @ONLY)
# A tree packed into an archive by CPack is unpacked anywhere: its .pc file
# then names the prefix relative to itself.
install(CODE "
  set(VEK_INSTALL_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  if(VEK_INSTALL_PREFIX MATCHES \"/_CPack_Packages/\")
    set(VEK_INSTALL_PREFIX \"\\\${pcfiledir}/../..\")
  endif()
  configure_file(\"${PROJECT_BINARY_DIR}/package/VekGpuKalderExtensions.pc.in\" \"${PROJECT_BINARY_DIR}/package/pc/VekGpuKalderExtensions.pc\" @ONLY)
  file(INSTALL \"${PROJECT_BINARY_DIR}/package/pc/VekGpuKalderExtensions.pc\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig\")
")
