#!/bin/sh
# package_install.sh BUILD_DIR
#
# As scripts/check-windows.sh runs it (WINEPREFIX, WINE, LC_ALL exported, in
# the prefix it made): the shipped installer, build/package/Kavrolin-<version>-x86.msi,
#   1. installed silently with the simulator feature (ADDLOCAL=Simulator):
#      its files, its registry entries (every key of the package's registry
#      table, the server path of the installed DLL);
#   2. the point-of-sale script pos_host.vbs run against the installed
#      component, with the installed simulator;
#   3. the same binaries packaged as 17.0.<patch + 1> installed over it: one
#      product, one registration, the newer version;
#   4. uninstalled silently: no file, ProgID, CLSID, interface or type
#      library entry of Kavrolin is left, and the payment records the script
#      left stay.
# The 64-bit stand-in of check-windows has no x86 package to check.
set -u

build=$(cd "$1" && pwd) || exit 2
wine=${WINE:-wine}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
release=$root/build/mingw-i686-release
packages=$root/build/package
registry=$packages/windows/registry.wxi
runs=$build/clients

if [ "${WINEARCH:-win32}" = win64 ]; then
  echo "package_install: NOT RUN: the package is for 32-bit Windows"
  exit 0
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$release/CMakeCache.txt")
msi=$packages/Kavrolin-$version-x86.msi
[ -f "$msi" ] && [ -f "$registry" ] || { echo "package_install: no $msi: run make windows-package" >&2; exit 2; }
mkdir -p "$runs"
dir=$(mktemp -d "$runs/package.XXXXXX")
status=0
# Wine runs in the check's locale (code page 936); this script's own text
# tools read its output byte by byte.
wine_locale=${LC_ALL:-C}
export LC_ALL=C
fail() { echo "package_install: FAIL $*" >&2; status=1; }

# Windows form of a host path (Wine shows the host's root as Z:).
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
run() { LC_ALL=$wine_locale WINEDEBUG=-all "$wine" "$@" > "$dir/last.out" 2> "$dir/last.err"; }

# HKEY_CLASSES_ROOT as text, one "[key]" line per key.
export_classes() {
  run reg export 'HKEY_CLASSES_ROOT' "$(winpath "$dir/classes.reg")" /y
  iconv -f UTF-16LE -t UTF-8 < "$dir/classes.reg" | tr -d '\r' > "$1"
}
# The keys of the package's registry table.
sed -n 's/.*Key="\([^"]*\)".*/\1/p' "$registry" | sort -u > "$dir/keys"
# How many of them HKEY_CLASSES_ROOT holds (names compared without case).
keys_present() {
  export_classes "$dir/classes.txt"
  sed -n 's/^\[HKEY_CLASSES_ROOT\\\(.*\)\]$/\1/p' "$dir/classes.txt" | tr a-z A-Z | sort -u > "$dir/present"
  tr a-z A-Z < "$dir/keys" | sort -u | comm -12 - "$dir/present" | wc -l
}
# The product codes of the installed Kavrolin products, one a line.
product_codes() {
  run reg export 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
      "$(winpath "$dir/uninstall.reg")" /y
  iconv -f UTF-16LE -t UTF-8 < "$dir/uninstall.reg" | tr -d '\r' > "$dir/uninstall.txt"
  awk -F'\\' '/^\[/ {key = $NF; sub(/\]$/, "", key)} /^"DisplayName"="Kavrolin"$/ {print key}' "$dir/uninstall.txt"
}
products() { product_codes | wc -l; }

# A clean start: the build folder's DLL that run_clients.sh registers, and
# any Kavrolin product an earlier run may have left (each package has a
# product code of its own).
run regsvr32 /u /s "$(winpath "$build/bin/Kavrolin.dll")"
for code in $(product_codes); do run msiexec /x "$code" /qn; done
[ "$(keys_present)" = 0 ] || fail "Kavrolin entries before the install"

# 1. Install, with the simulator.
run msiexec /i "$(winpath "$msi")" ADDLOCAL=Simulator /qn || fail "msiexec /i: $(cat "$dir/last.err")"
run cmd /c echo '%ProgramFiles%'
programs=$(tr -d '\r' < "$dir/last.out")
installed_dir=$(winepath -u "$programs\\Kavrolin" 2>/dev/null)
installed="$programs\\Kavrolin\\Kavrolin.dll"
for f in Kavrolin.dll kavrolin.exe README.txt Simulator/trans.dll; do
  [ -f "$installed_dir/$f" ] || fail "installed: no $f in $installed_dir"
done
[ ! -e "$installed_dir/trans.dll" ] || fail "the simulator is beside Kavrolin.dll"
[ "$(keys_present)" = "$(wc -l < "$dir/keys")" ] || fail "installed: $(keys_present) of $(wc -l < "$dir/keys") keys"
run reg query 'HKEY_CLASSES_ROOT\Kavrolin.clsInterFace\CLSID' /ve
clsid=$(tr -d '\r' < "$dir/last.out" | sed -n 's/.*REG_SZ[[:space:]]*//p')
run reg query "HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32" /ve
tr -d '\r' < "$dir/last.out" | grep -qiF "$installed" || fail "InprocServer32 is not $installed"
echo "package_install: installed in $programs\\Kavrolin, $(wc -l < "$dir/keys") registry keys"

# 2. The script host against the installed component and simulator.
mkdir "$dir/pos"
cp "$here/pos_host.vbs" "$dir/pos/"
(cd "$dir/pos" && KAVROLIN_SIM_STATE=sim.state KAVROLIN_SIM_RESULT=1,1,1,1,1,1,0 KAVROLIN_PREFIX=records \
   KAVROLIN_TRANS_LIBRARY="$programs\\Kavrolin\\Simulator\\trans.dll" \
   LC_ALL=$wine_locale WINEDEBUG=-all,fixme+wscript "$wine" cscript //nologo pos_host.vbs > out 2> err)
tr -d '\r' < "$dir/pos/out" > "$dir/pos/out.txt"
if grep -qx 'POS HOST DONE' "$dir/pos/out.txt" && grep -qx 'failures 0' "$dir/pos/out.txt" &&
   ! grep -q 'ActiveScriptSite_OnScriptError' "$dir/pos/err"; then
  echo "package_install: pos_host: $(grep -c '^ok' "$dir/pos/out.txt") checks passed on the installed component"
else
  grep '^FAIL' "$dir/pos/out.txt" | head -20
  fail "pos_host on the installed component; see $dir/pos"
fi

# The installed command-line host: its objects come from the registered
# server beside it, on its own services.
(cd "$dir/pos" && KAVROLIN_SIM_STATE=sim.state KAVROLIN_PREFIX=records \
   KAVROLIN_TRANS_LIBRARY="$programs\\Kavrolin\\Simulator\\trans.dll" WINEDEBUG=-all \
   "$wine" "$programs\\Kavrolin\\kavrolin.exe" sale 12.34 --invoice 77 --cashier 01 --register A1 \
   > cli.out 2> cli.err) || fail "the installed kavrolin.exe sale; see $dir/pos/cli.err"
tr -d '\r' < "$dir/pos/cli.out" | grep -q 'AMOUNT: 12.34' || fail "the installed kavrolin.exe sale: no approved amount"
(cd "$dir/pos" && WINEDEBUG=-all "$wine" "$programs\\Kavrolin\\kavrolin.exe" call clsHT.HLeft abcdef 3 \
   > call.out 2> call.err) || fail "the installed kavrolin.exe call; see $dir/pos/call.err"
[ "$(tr -d '\r' < "$dir/pos/call.out")" = abc ] || fail "the installed kavrolin.exe call answered $(cat "$dir/pos/call.out")"
echo "package_install: the installed kavrolin.exe made a sale and a call"

# 3. The upgrade in place.
patch=${version##*.}
next=${version%.*}.$((patch + 1))
"$root/scripts/package-windows.sh" "$release" "$registry" "$dir/next" "$next" > "$dir/next.log" 2>&1 ||
  fail "packaging $next; see $dir/next.log"
run msiexec /i "$(winpath "$dir/next/Kavrolin-$next-x86.msi")" /qn || fail "msiexec /i $next"
[ "$(products)" = 1 ] || fail "upgrade: $(products) Kavrolin products installed"
grep -qx "\"DisplayVersion\"=\"$next\"" "$dir/uninstall.txt" || fail "upgrade: $next is not the installed version"
[ "$(keys_present)" = "$(wc -l < "$dir/keys")" ] || fail "upgrade: $(keys_present) of $(wc -l < "$dir/keys") keys"
run reg query "HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32" /ve
tr -d '\r' < "$dir/last.out" | grep -qiF "$installed" || fail "upgrade: InprocServer32 is not $installed"
[ -f "$installed_dir/Kavrolin.dll" ] || fail "upgrade: no Kavrolin.dll"
echo "package_install: $next installed over $version: one product"

# 4. Silent removal.
run msiexec /x "$(winpath "$dir/next/Kavrolin-$next-x86.msi")" /qn || fail "msiexec /x"
[ "$(keys_present)" = 0 ] || fail "uninstalled: $(keys_present) keys left: $(tr a-z A-Z < "$dir/keys" | comm -12 - "$dir/present" | head -3)"
grep -qi 'C3C2B4C4-09D1-45DC-B700-965DCD76F78E\|Kavrolin\.cls' "$dir/classes.txt" &&
  fail "uninstalled: a Kavrolin entry is left in HKEY_CLASSES_ROOT"
[ ! -e "$installed_dir" ] || fail "uninstalled: $installed_dir is left"
[ "$(products)" = 0 ] || fail "uninstalled: a Kavrolin product is still registered"
[ -f "$dir/pos/records/payments.log" ] || fail "the payment records did not stay"
echo "package_install: removed silently, nothing left"
exit $status
