#!/usr/bin/env bash
# Runs the Windows build's checks under Wine, in a private prefix inside the
# build folder, with the ANSI code page 936 (LC_ALL=zh_CN.UTF-8):
#   1. the unit test suites (ctest, Wine as the emulator);
#   2. then every tests/windows/*.sh in name order (the installer package
#      installed, upgraded and removed; registration with `wine regsvr32`,
#      the script and C++ clients; the release binaries' imports and
#      resources), each run as `bash SCRIPT BUILD_DIR` with the Wine
#      environment below exported.
# Wine's output always goes to files under BUILD_DIR/wine-logs: its
# background processes would hold a pipe open.
#
#   scripts/check-windows.sh [BUILD_DIR [win32|win64]]
#
# The product is 32-bit (build/mingw-i686, win32). When this machine cannot
# run 32-bit Windows programs (a kernel without 32-bit emulation), the same
# sources are built for 64-bit Windows (make windows64) and checked under the
# 64-bit Wine instead, and the 32-bit run is reported as not run. When no
# Wine runs at all the checks are reported as not run and the script
# succeeds, unless KAVROLIN_REQUIRE_WINE=1; KAVROLIN_WINDOWS_FALLBACK=0
# skips the 64-bit stand-in.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/mingw-i686}
arch=${2:-win32}
build=$(cd "$build" && pwd)
logs=$build/wine-logs
mkdir -p "$logs"

export WINEPREFIX=$build/wineprefix
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
export WINEDEBUG=-all
export WINEARCH=$arch
# The plain `wine` command takes the 32-bit loader whenever it is installed.
if [ "$arch" = win64 ]; then
  WINE=$(command -v /usr/lib/wine/wine64 || command -v wine64 || echo wine64)
else
  WINE=wine
fi
export WINE

not_run() {
  echo "check-windows: NOT RUN: $1" >&2
  if [ "${KAVROLIN_REQUIRE_WINE:-0}" = 1 ]; then exit 1; fi
  echo "check-windows: the Windows build compiled and linked; its tests need a machine whose Wine runs them" >&2
  exit 0
}

# The 64-bit stand-in for a machine that cannot run 32-bit programs.
run_64bit_instead() {
  echo "check-windows: NOT RUN for 32-bit: $1" >&2
  if [ "$arch" = win64 ] || [ "${KAVROLIN_WINDOWS_FALLBACK:-1}" = 0 ]; then not_run "$1"; fi
  echo "check-windows: checking the 64-bit build of the same sources under the 64-bit Wine instead" >&2
  make --no-print-directory windows64
  exec "$0" build/mingw-x86_64 win64
}

# The locale that gives Wine the ANSI code page 936.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  if [ "$(id -u)" -eq 0 ] && command -v localedef >/dev/null; then
    localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  else
    echo "check-windows: the zh_CN.UTF-8 locale is missing; as root run: localedef -i zh_CN -f UTF-8 zh_CN.UTF-8" >&2
    exit 1
  fi
fi
export LC_ALL=zh_CN.UTF-8

command -v "$WINE" >/dev/null || not_run "wine is not installed (scripts/setup-deps.sh installs it)"

# A new prefix takes some seconds; a kept one is reused.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot -i >"$logs/wineboot.log" 2>&1 || true
fi
# One server for the whole run, started here with its output in a file, so
# no Wine process started under ctest keeps ctest's pipes open.
wineserver -p >"$logs/wineserver.log" 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# Can this machine run the build's programs at all?
probe=$build/bin/kavrolin_base_tests.exe
[ -f "$probe" ] || { echo "check-windows: $probe is missing: run make windows" >&2; exit 1; }
if ! "$WINE" "$probe" --gtest_list_tests >"$logs/probe.log" 2>&1 || ! grep -q '\.' "$logs/probe.log"; then
  reason=$(grep -m1 -iE 'exec format|could not|error' "$logs/probe.log" || true)
  wineserver -k >/dev/null 2>&1 || true
  run_64bit_instead "Wine cannot run $arch programs here${reason:+ ($reason)}; see $logs/probe.log"
fi

echo "check-windows: unit tests under Wine"
ctest --test-dir "$build" --output-on-failure --timeout 300 >"$logs/ctest.log" 2>&1 || {
  cat "$logs/ctest.log"
  exit 1
}
tail -n 3 "$logs/ctest.log"

shopt -s nullglob
for script in tests/windows/*.sh; do
  echo "check-windows: $script"
  if ! bash "$script" "$build" >"$logs/$(basename "$script" .sh).log" 2>&1; then
    cat "$logs/$(basename "$script" .sh).log"
    exit 1
  fi
done
echo "check-windows: passed ($arch, $build)"
