#!/usr/bin/env bash
# The installed tree as its users meet it: `cmake --install` into a temporary
# prefix, the README's C++ example built against it as a separate project with
# find_package and again with pkg-config, each run against the simulator, the
# installed kavrolin running a sale, and the .deb's control fields and
# contents.
#
#   check_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_in() {  # LABEL NEEDLE HAYSTACK
  if ! grep -qF -- "$2" <<<"$3"; then fail "$1: \"$2\" not in:"; echo "$3" | sed 's/^/    /' >&2; fi
}

usr=$work/usr
cmake --install "$build" --prefix "$usr" >"$work/install.log"

# Layout: the simulator is off the library search path; the server library
# carries its major version in its soname.
for f in bin/kavrolin lib/libkavrolin.so lib/kavrolin/libtrans.so include/kavrolin/transaction/cls_inter_face.h \
         include/kavrolin/base/version.h lib/cmake/Kavrolin/KavrolinConfig.cmake \
         lib/cmake/Kavrolin/KavrolinConfigVersion.cmake lib/pkgconfig/kavrolin.pc share/doc/kavrolin/README.md share/man/man1/kavrolin.1; do
  [ -e "$usr/$f" ] || fail "not installed: $f"
done
[ ! -e "$usr/lib/libtrans.so" ] || fail "the simulator lies on the library search path"
[ -z "$(find "$usr/include" -path '*win32*')" ] || fail "Windows headers installed"
[ ! -e "$usr/include/kavrolin/base/code_page_converter_iconv.h" ] || fail "a test-only header installed"
soname=$(readelf -d "$usr/lib/libkavrolin.so" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libkavrolin.so.17 ] || fail "soname is '$soname'"

# The README's example, extracted as it stands.
consumer=$work/consumer
mkdir -p "$consumer"
extract() {  # FILE: the fenced block after <!-- example: FILE -->
  awk -v file="$1" '
    $0 == "<!-- example: " file " -->" { want = 1; next }
    want && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' "$source/README.md"
}
extract main.cpp >"$consumer/main.cpp"
extract CMakeLists.txt >"$consumer/CMakeLists.txt"
[ -s "$consumer/main.cpp" ] && [ -s "$consumer/CMakeLists.txt" ] || { fail "README example not found"; exit 1; }

run_sale() {  # LABEL PROGRAM...: one sale in a prefix of its own, through the installed simulator
  local prefix=$work/prefix-$1
  mkdir -p "$prefix/drive_c/POS"
  (cd "$work" && env -u KAVROLIN_TRANS_LIBRARY KAVROLIN_PREFIX="$prefix" \
     KAVROLIN_TRANS_LIBRARY="$usr/lib/kavrolin/libtrans.so" KAVROLIN_SIM_PRINT='C:\POS' "${@:2}")
}

cmake -S "$consumer" -B "$consumer/build" -DCMAKE_PREFIX_PATH="$usr" -DCMAKE_BUILD_TYPE=Release \
  >"$work/consumer-configure.log" 2>&1 || { cat "$work/consumer-configure.log" >&2; fail "find_package configure"; }
if cmake --build "$consumer/build" >"$work/consumer-build.log" 2>&1; then
  out=$(run_sale cmake "$consumer/build/till" 2>&1) || fail "find_package example exited $?: $out"
  expect_in "find_package example" "approved 12.34, index" "$out"
else
  cat "$work/consumer-build.log" >&2; fail "find_package build"
fi

# A version the package does not serve is refused.
sed 's/find_package(Kavrolin 17 REQUIRED)/find_package(Kavrolin 18 REQUIRED)/' "$consumer/CMakeLists.txt" \
  >"$work/CMakeLists.18" && mkdir -p "$work/v18" && cp "$consumer/main.cpp" "$work/v18/" &&
  cp "$work/CMakeLists.18" "$work/v18/CMakeLists.txt"
if cmake -S "$work/v18" -B "$work/v18/build" -DCMAKE_PREFIX_PATH="$usr" >/dev/null 2>&1; then
  fail "find_package(Kavrolin 18) was satisfied by version 17"
fi

# A project that adds the source tree gets the same target name and none of
# the tree's tests or benchmarks (configured only: building it again here would
# take minutes).
sub=$work/subdirectory
mkdir -p "$sub"
cp "$consumer/main.cpp" "$sub/"
sed "s|find_package(Kavrolin 17 REQUIRED)|add_subdirectory($source kavrolin)|" "$consumer/CMakeLists.txt" \
  >"$sub/CMakeLists.txt"
if cmake -S "$sub" -B "$sub/build" >"$work/sub-configure.log" 2>&1; then
  targets=$(cmake --build "$sub/build" --target help)
  expect_in "add_subdirectory" "till" "$targets"
  for t in kavrolin_base_tests kavrolin_bench; do
    if grep -qw "$t" <<<"$targets"; then fail "add_subdirectory builds $t"; fi
  done
else
  cat "$work/sub-configure.log" >&2; fail "add_subdirectory configure"
fi

export PKG_CONFIG_PATH=$usr/lib/pkgconfig
version=$(pkg-config --modversion kavrolin) || fail "pkg-config does not know kavrolin"
expected_version=$(sed -n 's/.*kVersionText\[\] = "\(.*\)";/\1/p' "$usr/include/kavrolin/base/version.h")
[ "$version" = "$expected_version" ] || fail "pkg-config version '$version', headers '$expected_version'"
# shellcheck disable=SC2046
if c++ -std=c++20 -o "$work/till-pc" "$consumer/main.cpp" $(pkg-config --cflags --libs kavrolin) \
     2>"$work/pc-build.log"; then
  out=$(run_sale pkg-config "$work/till-pc" 2>&1) || fail "pkg-config example exited $?: $out"
  expect_in "pkg-config example" "approved 12.34, index" "$out"
else
  cat "$work/pc-build.log" >&2; fail "pkg-config build"
fi

# The installed program finds the installed server library and runs a sale.
out=$(run_sale cli "$usr/bin/kavrolin" sale 1.00 --invoice 7 --cashier 01 --register A1 2>&1) ||
  fail "installed kavrolin sale exited $?: $out"
expect_in "installed kavrolin sale" "1.00" "$out"
out=$(run_sale cli-classes "$usr/bin/kavrolin" call Kavrolin.clsHT.HLeft abc 2 2>&1) ||
  fail "installed kavrolin call exited $?: $out"
expect_in "installed kavrolin call" "ab" "$out"

# The Debian package, made here as `make package` makes it.
if command -v dpkg-deb >/dev/null; then
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
  deb=$(find "$work/package" -maxdepth 1 -name "kavrolin_${expected_version}_amd64.deb")
  if [ -z "$deb" ]; then
    fail "no kavrolin_${expected_version}_amd64.deb in: $(ls "$work/package")"
  else
    fields=$(dpkg-deb -f "$deb")
    expect_in "control" "Package: kavrolin" "$fields"
    expect_in "control" "Version: $expected_version" "$fields"
    expect_in "control" "Architecture: amd64" "$fields"
    expect_in "control" "Maintainer: " "$fields"
    expect_in "control" "Description: Card payments" "$fields"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libc6 libsqlite3-0 libstdc++6; do expect_in "Depends" "$lib" "$depends"; done
    contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
    outside=$(grep -vE '^\./(usr/.*)?$' <<<"$contents" || true)
    [ -z "$outside" ] || fail "installed outside /usr: $outside"
    for f in ./usr/bin/kavrolin ./usr/lib/libkavrolin.so.17 ./usr/lib/kavrolin/libtrans.so \
             ./usr/include/kavrolin/transaction/cls_inter_face.h ./usr/lib/cmake/Kavrolin/KavrolinConfig.cmake \
             ./usr/lib/pkgconfig/kavrolin.pc ./usr/share/doc/kavrolin/copyright ./usr/share/man/man1/kavrolin.1; do
      grep -qxF "$f" <<<"$contents" || fail "not in the .deb: $f"
    done
  fi
else
  fail "dpkg-deb is missing"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "install, find_package, pkg-config and .deb checks passed"
