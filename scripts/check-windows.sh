#!/usr/bin/env bash
# Runs the Windows build's checks under Wine, in a private prefix inside the
# build folder, with the ANSI code page 936 (LC_ALL=zh_CN.UTF-8):
#   1. the unit test suites (ctest, Wine as the emulator);
#   2. then every tests/windows/*.sh in name order (registration with
#      `wine regsvr32`, the script and C++ clients), each run as
#      `bash SCRIPT BUILD_DIR` with the Wine environment below exported.
# Wine's output always goes to files under BUILD_DIR/wine-logs: its
# background processes would hold a pipe open.
#
# When this machine cannot run 32-bit Windows programs at all (a kernel
# without 32-bit support, or no 32-bit Wine), the checks are reported as not
# run and the script succeeds, unless KAVROLIN_REQUIRE_WINE=1.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/mingw-i686}
build=$(cd "$build" && pwd)
logs=$build/wine-logs
mkdir -p "$logs"

export WINEPREFIX=$build/wineprefix
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
export WINEDEBUG=-all
export WINEARCH=win32

not_run() {
  echo "check-windows: NOT RUN: $1" >&2
  if [ "${KAVROLIN_REQUIRE_WINE:-0}" = 1 ]; then exit 1; fi
  echo "check-windows: the Windows build compiled and linked; its tests need a machine that runs 32-bit programs" >&2
  exit 0
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

command -v wine >/dev/null || not_run "wine is not installed (scripts/setup-deps.sh installs it)"

# A new prefix takes some seconds; a kept one is reused.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine wineboot -i >"$logs/wineboot.log" 2>&1 || true
fi
# One server for the whole run, started here with its output in a file, so
# no Wine process started under ctest keeps ctest's pipes open.
wineserver -p >"$logs/wineserver.log" 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# Can this machine run a 32-bit Windows program at all?
probe=$build/bin/kavrolin_base_tests.exe
[ -f "$probe" ] || { echo "check-windows: $probe is missing: run make windows" >&2; exit 1; }
if ! wine "$probe" --gtest_list_tests >"$logs/probe.log" 2>&1 || ! grep -q '\.' "$logs/probe.log"; then
  reason=$(grep -m1 -iE 'exec format|could not|error' "$logs/probe.log" || true)
  not_run "Wine cannot run 32-bit programs here${reason:+ ($reason)}; see $logs/probe.log"
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
echo "check-windows: passed"
