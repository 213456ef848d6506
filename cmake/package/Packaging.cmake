# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# What a package holds besides the installed tree (the licence, the notices,
# the documents), and how CPack packs it: scripts/release.sh runs cpack in
# each platform's release tree.
set(VEK_PACKAGE_PLATFORM "" CACHE STRING "The platform in the package names: windows-arm64, linux-x86_64, ...")

set(CPACK_PACKAGE_CONTACT_TEXT "The VekGpuKalderExtensions Authors <maintainers@vekgpukalderextensions.invalid>")

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
  # The .deb's own changelog, as Debian wants it for a native package: one
  # entry pointing at CHANGELOG.md, dated from SOURCE_DATE_EPOCH, compressed
  # without a name or time in the gzip header.
  find_program(VEK_GZIP gzip)
  if(VEK_GZIP)
    string(TIMESTAMP VEK_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
    file(WRITE ${PROJECT_BINARY_DIR}/package/changelog
      "vekgpukalderextensions (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
      "  * Release ${PROJECT_VERSION}; CHANGELOG.md beside this file says what changed.\n\n"
      " -- ${CPACK_PACKAGE_CONTACT_TEXT}  ${VEK_CHANGELOG_DATE}\n")
    execute_process(COMMAND ${VEK_GZIP} -9nf ${PROJECT_BINARY_DIR}/package/changelog)
    list(APPEND VEK_PACKAGE_DOCS ${PROJECT_BINARY_DIR}/package/changelog.gz)
  endif()
endif()
install(FILES ${VEK_PACKAGE_DOCS} DESTINATION ${VEK_DOCS_DESTINATION})

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The VekGpuKalderExtensions Authors")
set(CPACK_PACKAGE_CONTACT "${CPACK_PACKAGE_CONTACT_TEXT}")
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
# The libraries in /usr/lib are modules a host loads by path, but dpkg runs
# ldconfig for any library there: through a trigger, as Debian asks.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/package/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "GPU backend configuration plug-in for model-runner hosts
 A plug-in library a model-runner host loads at run time: it reads a JSON
 configuration file, checks it against its schema and hands the host the
 GPU backend library's configuration records. The package holds the
 plug-in, the headers and CMake package hosts build against, and vekhost,
 which runs the plug-in on a configuration, checks files as the plug-in
 reads them and lists devices and keys.")
include(CPack)
