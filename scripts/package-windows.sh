#!/usr/bin/env bash
# Packages the Windows release build for shipping:
#   OUT_DIR/Kavrolin-<version>-x86.msi  (msitools' wixl, packaging/windows/Kavrolin.wxs)
#   OUT_DIR/Kavrolin-<version>-x86.zip  (Kavrolin.dll, kavrolin.exe, README.txt,
#                                        register.cmd, unregister.cmd)
#
#   scripts/package-windows.sh RELEASE_BUILD_DIR REGISTRY_WXI OUT_DIR [VERSION]
#
# REGISTRY_WXI is the package's registry table, written by
# `kavrolin-interfaces --installer-registry` from the registration tables.
# VERSION defaults to the release build's project version; a different one
# packages the same binaries under another product version (check-windows
# does so to prove an upgrade in place: their version resources keep the
# build's version, which the major upgrade does not look at).
set -euo pipefail
cd "$(dirname "$0")/.."

build=$1
registry=$2
out=$3
version=${4:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
[ -n "$version" ] || { echo "package-windows: no project version in $build/CMakeCache.txt" >&2; exit 1; }
bin=$build/bin
for f in Kavrolin.dll kavrolin.exe trans.dll; do
  [ -f "$bin/$f" ] || { echo "package-windows: $bin/$f is missing: run make windows-release" >&2; exit 1; }
done
command -v wixl >/dev/null || { echo "package-windows: wixl is missing (scripts/setup-deps.sh windows)" >&2; exit 1; }

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# The README's Windows sections as text: UTF-8 with its byte order mark (so
# Notepad reads the Chinese journal texts right), Windows line ends.
{ printf '\357\273\277Kavrolin %s for 32-bit Windows\n\n' "$version"; awk '/^## /  { section = $0; install_windows = 0 }
     /^### / { install_windows = (section ~ /^## Install/ && $0 ~ /^### Windows/) }
     section ~ /^## (Windows|Integrating on Windows)/ || install_windows' README.md; } |
  sed 's/$/\r/' >"$stage/README.txt"

# wixl takes the package's files by names relative to where it runs.
mkdir "$stage/msi"
cp "$registry" "$stage/msi/registry.wxi"
cp "$bin/Kavrolin.dll" "$bin/kavrolin.exe" "$bin/trans.dll" "$stage/README.txt" "$stage/msi/"
(cd "$stage/msi" && wixl --arch x86 -D Version="$version" -D BinDir=. -D DocFile=README.txt -I . \
   -o "$out/Kavrolin-$version-x86.msi" "$OLDPWD/packaging/windows/Kavrolin.wxs")

# The zip for those who register with regsvr32 themselves.
zip_dir=$stage/Kavrolin-$version-x86
mkdir "$zip_dir"
cp "$bin/Kavrolin.dll" "$bin/kavrolin.exe" "$stage/README.txt" "$zip_dir/"
for action in register unregister; do
  flag=; [ $action = unregister ] && flag=' /u'
  sed 's/$/\r/' >"$zip_dir/$action.cmd" <<CMD
@echo off
rem ${action^}s Kavrolin.dll (beside this file) for 32-bit hosts; run it as an administrator.
rem Add /s for no message box. On 64-bit Windows the 32-bit regsvr32 is in SysWOW64.
set regsvr=%SystemRoot%\\System32\\regsvr32.exe
if exist "%SystemRoot%\\SysWOW64\\regsvr32.exe" set regsvr=%SystemRoot%\\SysWOW64\\regsvr32.exe
"%regsvr%"$flag %* "%~dp0Kavrolin.dll"
CMD
done
rm -f "$out/Kavrolin-$version-x86.zip"
(cd "$stage" && zip -q -X -r "$out/Kavrolin-$version-x86.zip" "Kavrolin-$version-x86")
echo "$out/Kavrolin-$version-x86.msi"
echo "$out/Kavrolin-$version-x86.zip"
