#!/usr/bin/env bash
# Compiles every source of the plug-in (the configuration module, the GPU
# extension, the exports, the logger and the Windows platform layer) for
# Windows on ARM64 with Debian's clang and the MinGW-w64 headers. Objects
# only: no ARM64 Windows C++ runtime is packaged here to link against.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang llvm g++-mingw-w64-x86-64-posix
cmake --preset windows-arm64-objects > /dev/null
dir=build/windows-arm64-objects
# The object files of the plug-in library and everything linked into it.
mapfile -t objects < <(ninja -C "$dir" -t targets all | sed -n 's/^\(.*\(BackendExtensions\|log\|platform\)\/CMakeFiles\/[^:]*\.obj\): .*/\1/p')
ninja -C "$dir" "${objects[@]}"
for object in "${objects[@]}"; do
  machine=$(od -A n -t x2 -N 2 "$dir/$object" | tr -d ' ')
  [ "$machine" = aa64 ] || { echo "windows-arm64: $object is no ARM64 object (machine $machine)"; exit 1; }
done
echo "windows-arm64: ${#objects[@]} plug-in objects compiled for aarch64-w64-mingw32"
