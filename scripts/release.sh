#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Builds the packages of a release from this commit and packs them with
# CPack: a zip for Windows on ARM64 and Windows x86-64, a tar.gz for Linux
# x86-64 and aarch64, a .deb for Linux x86-64, the source archive; the VS
# Code extension, one .vsix per platform and one without binaries
# (scripts/vsix.sh); one CycloneDX SBOM per package and SHA256SUMS over them
# all. The binaries build against RapidJSON's current sources
# (../shared/rapidjson-master), as a host using vcpkg would. The same commit
# gives the same bytes in any folder, with any toolchain cache.
#
# Usage: scripts/release.sh [OUT-DIR [CACHE-DIR]]
#   OUT-DIR    where the packages go (default build/release)
#   CACHE-DIR  the toolchains' cache: Zig and Node 24 (default
#              build/windows-arm64-cache, the one scripts/windows-arm64.sh fills)
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "release: $*" >&2; exit 1; }
scripts/install-deps.sh dpkg-dev file g++-mingw-w64-x86-64-posix g++-aarch64-linux-gnu python3 git
[ -f ../shared/rapidjson-master/include/rapidjson/document.h ] || fail "no RapidJSON sources in ../shared/rapidjson-master"
[ -z "$(git status --porcelain --untracked-files=no)" ] \
  || echo "release: the work tree has uncommitted changes; the binary packages hold them, the source archive does not" >&2

version=$(sed -n 's/^project(VekGpuKalderExtensions VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
name=VekGpuKalderExtensions-$version
# Every time stamp a package holds is the commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
out=$(mkdir -p "${1:-build/release}" && cd "${1:-build/release}" && pwd)
rm -f "$out"/VekGpuKalderExtensions-* "$out"/vekgpukalderextensions_* "$out/SHA256SUMS"
VEK_ZIG_HOME=$(scripts/zig-toolchain.sh "${2:-build/windows-arm64-cache}")
export VEK_ZIG_HOME

# One tree per platform, packed by CPack; the .deb from the Linux x86-64 tree.
pack() {  # pack PLATFORM GENERATOR
  local tree=build/release-$1
  cpack --config "$tree/CPackConfig.cmake" -G "$2" -B "$tree/packages" > "$tree/cpack-$2.log" \
    || { cat "$tree/cpack-$2.log"; fail "cpack -G $2 failed for $1"; }
}
for platform in linux-x86_64 linux-aarch64 windows-x86_64 windows-arm64; do
  cmake --preset "release-$platform" > /dev/null
  # Every image linked anew: an image kept from an earlier build would keep
  # that commit's time stamp.
  cmake --build --preset "release-$platform" --clean-first
  rm -rf "build/release-$platform/packages"
  case $platform in
    windows-*) pack "$platform" ZIP; cp "build/release-$platform/packages/$name-$platform.zip" "$out/" ;;
    *) pack "$platform" TGZ; cp "build/release-$platform/packages/$name-$platform.tar.gz" "$out/" ;;
  esac
done
pack linux-x86_64 DEB
cp build/release-linux-x86_64/packages/vekgpukalderextensions_"$version"_amd64.deb "$out/"
# The source archive: the commit's files as git keeps them.
git archive --format=tar --prefix="$name/" HEAD | gzip -9n > "$out/$name-source.tar.gz"
scripts/vsix.sh "$out" "${2:-build/windows-arm64-cache}"

# An SBOM for each package, then the sums of everything.
cd "$out"
for package in "$name"-*.zip "$name"-*.tar.gz vekgpukalderextensions_*.deb "$name"-*.vsix; do
  case $package in
    *-source.tar.gz) platform=source ;;
    *.deb) platform=linux-x86_64 ;;
    *-vscode.vsix) platform=vscode-universal ;;
    *.vsix) platform=${package#"$name-"}; platform=${platform%.vsix} ;;
    *) platform=${package#"$name-"}; platform=${platform%%.*} ;;
  esac
  python3 "$OLDPWD/scripts/sbom.py" "$platform" "$package" "$package.cdx.json" "$VEK_ZIG_HOME"
done
sha256sum -- "$name"-* vekgpukalderextensions_* > SHA256SUMS
echo "release: packages in $out"
ls -1 -- "$name"-* vekgpukalderextensions_*
cat SHA256SUMS
