#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Compiles the plug-in's sources for Windows ARM64EC with clang 19 and the
# MinGW-w64 headers, and checks every object is ARM64EC (COFF machine 0xA641).
# Objects only: linking ARM64EC needs the MSVC toolchain. Three sources reach
# x86 inline assembly in the MinGW-w64 headers, which take their x86 paths for
# this target (it defines __x86_64__), and cannot be compiled here:
#   ConfigValidation.cpp (math.h, through RapidJSON's schema.h and <cmath>),
#   platform/windows/Clock.cpp and DynamicLibrary.cpp (windows.h, intrin-impl.h).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang-19 llvm-19 g++-mingw-w64-x86-64-posix
[ -f ../shared/rapidjson-master/include/rapidjson/document.h ] || { echo "arm64ec: no RapidJSON sources in ../shared/rapidjson-master" >&2; exit 1; }
cmake --preset arm64ec-objects > /dev/null
dir=build/arm64ec-objects
unreachable='ConfigValidation\.cpp|windows/Clock\.cpp|windows/DynamicLibrary\.cpp'
not_plugin='windows/(Process|TempFile)\.cpp'  # the runner's, not linked into the plug-in
# The object files of the plug-in library and everything linked into it.
mapfile -t objects < <(ninja -C "$dir" -t targets all \
  | sed -n 's/^\(.*\(BackendExtensions\|log\|platform\)\/CMakeFiles\/[^:]*\.obj\): .*/\1/p' | grep -v -E "$unreachable|$not_plugin")
[ ${#objects[@]} -ge 15 ] || { echo "arm64ec: only ${#objects[@]} objects found"; exit 1; }
ninja -C "$dir" "${objects[@]}"
for object in "${objects[@]}"; do
  machine=$(od -A n -t x2 -N 2 "$dir/$object" | tr -d ' ')
  [ "$machine" = a641 ] || { echo "arm64ec: $object is no ARM64EC object (machine $machine)"; exit 1; }
done
echo "arm64ec: ${#objects[@]} plug-in objects compiled for arm64ec-w64-mingw32"
