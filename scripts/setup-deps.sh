#!/usr/bin/env bash
# Installs the Debian packages the build needs. As root it installs what is
# missing; otherwise it prints the apt-get lines to run and fails.
# The Windows build (make windows, make check-windows) needs the 32-bit
# MinGW-w64 compiler, widl and Wine with its 32-bit half, hence the i386
# architecture; the 64-bit compiler builds the stand-in that check-windows
# runs where 32-bit programs cannot run.
set -euo pipefail

# `setup-deps.sh demo`: only what the demo builds (the program, the server
# library and the simulator; iconv is glibc's).
demo_packages=(cmake g++ make libsqlite3-dev libcli11-dev nlohmann-json3-dev)
if [ "${1:-}" = demo ]; then
  packages=("${demo_packages[@]}")
else
  # The tests, benchmarks, fuzz targets, coverage and the package check
  # (dpkg-shlibdeps).
  packages=("${demo_packages[@]}" pkg-config libgtest-dev libgmock-dev libbenchmark-dev libinih-dev
            clang libclang-rt-dev lcov python3 dpkg-dev)
fi
# `setup-deps.sh windows`: also the MinGW-w64 cross compiler, Wine, and
# msitools' wixl and zip for the packages.
if [ "${1:-}" = windows ]; then
  packages+=(googletest locales g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine32:i386 wine64
            wixl zip)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

needs_i386=0
if [ "${1:-}" = windows ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  needs_i386=1
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  [ $needs_i386 -eq 1 ] && echo "  dpkg --add-architecture i386" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
[ $needs_i386 -eq 1 ] && dpkg --add-architecture i386
# A mirror caught mid-sync fails one index for a while: try again, and in the
# end install from what was fetched; the install says if that is not enough.
for attempt in 1 2 3; do
  apt-get update -qq && break
  echo "apt-get update failed (attempt $attempt of 3)" >&2
  if [ "$attempt" -lt 3 ]; then sleep 15; fi
done
apt-get install -y -qq --no-install-recommends "${missing[@]}"
