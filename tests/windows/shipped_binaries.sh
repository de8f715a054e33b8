#!/bin/sh
# shipped_binaries.sh BUILD_DIR
#
# The release binaries (build/mingw-i686-release/bin: Kavrolin.dll,
# kavrolin.exe, trans.dll), read with the MinGW binutils, no Wine needed:
#   - the floor, Windows XP SP3: the PE header asks for OS and subsystem 5.1,
#     and no import is a function XP lacks (the list below; our own code is
#     held to XP by _WIN32_WINNT 0x0501, the statically linked runtime is
#     not, so its imports are checked here);
#   - only system DLLs are imported (the C++ runtime is linked in);
#   - stripped, with a .gnu_debuglink to the debug file beside it;
#   - a version resource with the project version.
# Prints what each binary imports from where, in build/.../imports-<file>.txt.
set -u

here=$(cd "$(dirname "$0")" && pwd)
release=$(cd "$here/../.." && pwd)/build/mingw-i686-release
bin=$release/bin
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
windres=${WINDRES:-i686-w64-mingw32-windres}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$release/CMakeCache.txt")
[ -n "$version" ] || { echo "shipped_binaries: no release build in $release: run make windows-release" >&2; exit 2; }
status=0
fail() { echo "shipped_binaries: FAIL $*" >&2; status=1; }

# Functions Windows XP SP3 lacks (Vista and later), as patterns.
deny='^(GetTickCount64|RegDeleteTree.*|.*SRWLock.*|.*ConditionVariable.*|InitOnce.*|CreateSymbolicLink.*'
deny=$deny'|GetFileInformationByHandleEx|SetFileInformationByHandle|Fls(Alloc|Free|GetValue|SetValue)'
deny=$deny'|GetLocaleInfoEx|LCMapStringEx|CompareStringEx|GetUserDefaultLocaleName|LocaleNameToLCID'
deny=$deny'|GetCurrentProcessorNumber|GetFinalPathNameByHandle.*|CreateEventEx.*|CreateMutexEx.*'
deny=$deny'|CreateSemaphoreEx.*|WaitOnAddress|WakeByAddress.*|GetSystemTimePreciseAsFileTime'
deny=$deny'|QueryFullProcessImageName.*|CancelIoEx|GetQueuedCompletionStatusEx|RegGetValue[AW]'
deny=$deny'|RegSetKeyValue[AW]|RegCopyTree[AW]|SHGetKnownFolderPath|inet_pton|inet_ntop)$'
# What a Windows XP system has, by DLL.
system_dlls='^(kernel32|user32|advapi32|ole32|oleaut32|shell32|ws2_32|iphlpapi|msvcrt|gdi32|shlwapi|version)\.dll$'

for file in Kavrolin.dll kavrolin.exe trans.dll; do
  path=$bin/$file
  [ -f "$path" ] || { fail "no $path"; continue; }
  "$objdump" -p "$path" > "$release/headers-$file.txt" || { fail "objdump -p $file"; continue; }
  # "DLL Name: X" then its functions as "<hint> <name>" lines.
  awk '/DLL Name:/ {dll = tolower($3); next}
       /^[ \t]*$/ {dll = ""; next}
       dll != "" && $1 ~ /^[0-9a-f]+$/ && NF >= 3 {print dll, $NF}' \
    "$release/headers-$file.txt" > "$release/imports-$file.txt"
  [ -s "$release/imports-$file.txt" ] || fail "$file: no imports read"
  for field in MajorOSystemVersion:5 MinorOSystemVersion:1 MajorSubsystemVersion:5 MinorSubsystemVersion:1; do
    grep -Eq "^${field%%:*}[[:space:]]+${field##*:}\$" "$release/headers-$file.txt" ||
      fail "$file: $(grep "^${field%%:*}" "$release/headers-$file.txt")"
  done
  awk '{print $1}' "$release/imports-$file.txt" | sort -u | grep -Ev "$system_dlls" |
    while read -r dll; do echo "shipped_binaries: FAIL $file imports $dll, not a system DLL" >&2; echo x; done |
    grep -q x && status=1
  if awk '{print $2}' "$release/imports-$file.txt" | grep -Eq "$deny"; then
    fail "$file imports what Windows XP lacks: $(awk '{print $1 "!" $2}' "$release/imports-$file.txt" |
      grep -E "!$(printf '%s' "$deny" | sed 's/^\^//')" | tr '\n' ' ')"
  fi
  "$objdump" -h "$path" | grep -q '\.gnu_debuglink' || fail "$file has no .gnu_debuglink"
  "$objdump" -h "$path" | grep -q '\.debug_info' && fail "$file is not stripped"
  [ -f "$path.debug" ] || fail "no $file.debug beside $file"
  "$windres" -i "$path" -O rc -o "$release/resources-$file.rc" 2>/dev/null || fail "$file: resources unreadable"
  for text in "\"FileVersion\", \"$version.0\"" "\"ProductVersion\", \"$version.0\"" \
              "\"ProductName\", \"Kavrolin\"" "\"OriginalFilename\", \"$file\""; do
    grep -qF "$text" "$release/resources-$file.rc" || fail "$file: no $text in its version resource"
  done
  grep -Eq "FILEVERSION ${version%%.*}, *[0-9]+, *${version##*.}, *0" "$release/resources-$file.rc" ||
    fail "$file: numeric FILEVERSION is not $version.0"
  echo "shipped_binaries: $file: $(wc -c < "$path") bytes, $(wc -l < "$release/imports-$file.txt") imports from" \
       "$(awk '{print $1}' "$release/imports-$file.txt" | sort -u | tr '\n' ' ')"
done
exit $status
