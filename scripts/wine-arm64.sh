# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Sourced by the scripts that run ARM64 Windows programs: Debian's arm64
# Wine, unpacked into a private folder (never installed, so the amd64 Wine
# stays), run by qemu-user, with a fresh prefix and server for each run.
#   wine_arm64_start CACHE-DIR WORK-DIR  sets up everything; $wine is then a
#                                        wrapper that runs a program
#   wine_arm64_stop                      ends every process of the prefix and
#                                        fails if one is left
#   wine_arm64_cleanup                   undoes it all on any way out (the
#                                        caller's EXIT trap calls it)
# Needs root: it mounts binfmt_misc and registers qemu-aarch64 for aarch64
# programs (Wine starts its child processes as such).

# What runs the ARM64 Windows programs: Debian's arm64 Wine and the arm64
# libraries it needs, fetched with a private apt state, never installed.
wine_arm64_packages=(libwine:arm64 wine64:arm64 libc6:arm64 libgcc-s1:arm64 libunwind8:arm64 liblzma5:arm64 libstdc++6:arm64)

mounted=0
registered=0
server_pid=""
wine=""

# The processes of this run's Wine prefix still running (wineserver,
# services.exe, winedevice.exe, ... each under qemu-aarch64), found by their
# environment.
prefix_processes() {
  local environ pid
  [ -n "${WINEPREFIX:-}" ] || return 0
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}; pid=${pid%/environ}
    [ "$(readlink "/proc/$pid/exe" 2> /dev/null)" = /usr/bin/qemu-aarch64 ] || continue
    tr '\0' '\n' < "$environ" 2> /dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
  return 0
}
# Ends every process of the prefix the way Wine does (wineserver -k), then
# waits for the server.
wine_arm64_stop_processes() {
  [ -n "$server_pid" ] || return 0
  WINEPREFIX=$WINEPREFIX QEMU_LD_PREFIX=$server_root timeout 60 \
    qemu-aarch64 "$root/usr/lib/wine/wineserver64" -k > /dev/null 2>&1 || true
  timeout 30 tail --pid="$server_pid" -f /dev/null || true
  kill "$server_pid" 2> /dev/null || true
  wait "$server_pid" 2> /dev/null || true
  server_pid=""
  local waited=0
  while [ -n "$(prefix_processes)" ] && [ $waited -lt 30 ]; do sleep 1; waited=$((waited + 1)); done
  return 0
}

wine_arm64_fail() { echo "wine-arm64: $*" >&2; exit 1; }

# Undo on every way out what this run set up in the system, and leave no
# process of the prefix running.
wine_arm64_cleanup() {
  set +e
  wine_arm64_stop_processes
  local left
  left=$(prefix_processes)
  [ -n "$left" ] && kill -9 $left 2> /dev/null
  [ "$registered" = 1 ] && echo -1 > /proc/sys/fs/binfmt_misc/vek-aarch64
  [ "$mounted" = 1 ] && umount /proc/sys/fs/binfmt_misc
  return 0
}

wine_arm64_stop() {
  wine_arm64_stop_processes
  local left
  left=$(prefix_processes)
  [ -z "$left" ] || { ps -o pid,ppid,args -p "$(echo $left | tr ' ' ,)" >&2; echo "wine-arm64: processes of the Wine prefix still running" >&2; return 1; }
  echo "wine-arm64: no process of the Wine prefix is left"
}

wine_arm64_start() {
  local cache=$1 build=$2
  mkdir -p "$build"
  root=$cache/arm64-root
  if [ ! -x "$root/usr/lib/wine/wine64" ]; then
    apt_dir=$cache/apt
    mkdir -p "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial" "$cache/debs"
    apt_options=(-o "Dir::State=$apt_dir/state" -o "Dir::State::status=/var/lib/dpkg/status" -o "Dir::Cache=$apt_dir/cache"
                 -o "APT::Architectures::=amd64" -o "APT::Architectures::=arm64" -o "Debug::NoLocking=1"
                 -o "APT::Sandbox::User=root")
    apt-get "${apt_options[@]}" -qq update
    (cd "$cache/debs" && apt-get "${apt_options[@]}" -qq download "${wine_arm64_packages[@]}")
    rm -rf "$root.partial" && mkdir -p "$root.partial"
    for deb in "$cache"/debs/*_arm64.deb; do dpkg-deb -x "$deb" "$root.partial"; done
    rm -rf "$root" && mv "$root.partial" "$root"
  fi
  [ -x "$root/usr/lib/wine/wine64" ] && [ -x "$root/usr/lib/wine/wineserver64" ] || wine_arm64_fail "the arm64 Wine in $root is incomplete"

  # The wineserver resolves file names itself and must see the real file
  # system: its own root holds only the arm64 libraries.
  server_root=$cache/arm64-server-root
  mkdir -p "$server_root"
  ln -sfn "$root/lib" "$server_root/lib"
  ln -sfn "$root/usr" "$server_root/usr"

  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || wine_arm64_fail "cannot mount binfmt_misc"
    mounted=1
  fi
  [ -e /proc/sys/fs/binfmt_misc/vek-aarch64 ] && echo -1 > /proc/sys/fs/binfmt_misc/vek-aarch64
  # aarch64 ELF executables and shared objects, run by qemu-aarch64 (opened now: F).
  printf '%s' ':vek-aarch64:M::\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00:\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-aarch64:F' \
    > /proc/sys/fs/binfmt_misc/register
  registered=1

  # A fresh Wine prefix and a fresh server on every run: a server left over
  # from another run can make a broken set-up look green.
  export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all
  rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
  QEMU_LD_PREFIX=$server_root qemu-aarch64 "$root/usr/lib/wine/wineserver64" -p -f > "$build/wineserver.log" 2>&1 &
  server_pid=$!
  sleep 1
  kill -0 "$server_pid" 2> /dev/null || { cat "$build/wineserver.log"; wine_arm64_fail "the arm64 wineserver did not start"; }

  wine=$build/wine-arm64
  cat > "$wine" <<EOF
#!/bin/sh
# Runs an ARM64 Windows program under the arm64 Wine of $root.
export WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all QEMU_LD_PREFIX="$root"
exec qemu-aarch64 "$root/usr/lib/wine/wine64" "\$@"
EOF
  chmod +x "$wine"
  "$wine" wineboot -i > "$build/wineboot.log" 2>&1 || { cat "$build/wineboot.log"; wine_arm64_fail "wineboot failed"; }
  # Under qemu-aarch64 -L, "/" is the arm64 root, and Wine looks names up
  # relative to drive Z:'s folder: Z: is the real root, as /proc/self/root
  # (which the arm64 root does not hold), so Z:/path and /path agree.
  ln -sfn /proc/self/root "$WINEPREFIX/dosdevices/z:"
}
