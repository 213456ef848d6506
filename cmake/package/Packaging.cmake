# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# What a package holds besides the installed tree (the licence, the notices,
# the documents), and how CPack packs it: scripts/release.sh runs cpack in
# each platform's release tree.
set(VEK_PACKAGE_PLATFORM "" CACHE STRING "The platform in the package names: windows-arm64, linux-x86_64, ...")

# The documents: beside the programs in a Windows zip, in the documentation
# folder elsewhere. A Windows zip's README says first which hosts its DLL
# serves.
set(VEK_PACKAGE_DOCS LICENSE THIRD-PARTY-NOTICES CHANGELOG.md)
list(TRANSFORM VEK_PACKAGE_DOCS PREPEND ${PROJECT_SOURCE_DIR}/)
if(WIN32)
  set(VEK_DOCS_DESTINATION .)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "ARM64")
    set(VEK_PACKAGE_TOOLCHAIN "the Zig toolchain (clang, libc++, MinGW-w64)")
  else()
    set(VEK_PACKAGE_TOOLCHAIN "MinGW-w64's GCC (libstdc++)")
  endif()
  file(READ ${PROJECT_SOURCE_DIR}/cmake/package/README.windows.md VEK_README_FIRST)
  string(CONFIGURE "${VEK_README_FIRST}" VEK_README_FIRST @ONLY)
  file(READ ${PROJECT_SOURCE_DIR}/README.md VEK_README)
  file(WRITE ${PROJECT_BINARY_DIR}/package/README.md "${VEK_README_FIRST}\n${VEK_README}")
  list(APPEND VEK_PACKAGE_DOCS ${PROJECT_BINARY_DIR}/package/README.md)
else()
  set(VEK_DOCS_DESTINATION ${CMAKE_INSTALL_DOCDIR})
  list(APPEND VEK_PACKAGE_DOCS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/package/copyright)
endif()
install(FILES ${VEK_PACKAGE_DOCS} DESTINATION ${VEK_DOCS_DESTINATION})

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The VekGpuKalderExtensions Authors")
set(CPACK_PACKAGE_CONTACT "The VekGpuKalderExtensions Authors <maintainers@vekgpukalderextensions.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GPU backend configuration plug-in for model-runner hosts, and its runner")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${VEK_PACKAGE_PLATFORM})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()

# The .deb (Linux x86-64): vekhost on PATH, the plug-in in /usr/lib, the
# schemas and examples in /usr/share/VekGpuKalderExtensions.
set(CPACK_DEBIAN_PACKAGE_NAME vekgpukalderextensions)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "GPU backend configuration plug-in for model-runner hosts
 A plug-in library a model-runner host loads at run time: it reads a JSON
 configuration file, checks it against its schema and hands the host the
 GPU backend library's configuration records. The package holds the
 plug-in, the headers and CMake package hosts build against, and vekhost,
 which runs the plug-in on a configuration, checks files as the plug-in
 reads them and lists devices and keys.")
include(CPack)
