# The suites that build for Windows and run under Wine (make check-windows):
# the portable rules, and the Windows realisations of the platform. Suites
# whose tests reach the POSIX realisations (the prefix, flock, fork) stay on
# the Linux build. Each suite is one test: a Wine start per test case would
# cost more than the tests.
kavrolin_windows_gtest()
add_library(kavrolin_test_support STATIC support/test_main.cpp support/temp_dir.cpp)
target_include_directories(kavrolin_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kavrolin_test_support PUBLIC kavrolin_platform GTest::gtest GTest::gmock)

function(kavrolin_windows_suite name)
  cmake_parse_arguments(PARSE_ARGV 1 suite "" "" "SOURCES;LIBRARIES")
  add_executable(${name} ${suite_SOURCES})
  target_link_libraries(${name} PRIVATE kavrolin_test_support ${suite_LIBRARIES})
  add_test(NAME ${name} COMMAND ${name})
endfunction()

file(GLOB base_tests CONFIGURE_DEPENDS base/*_test.cpp)
kavrolin_windows_suite(kavrolin_base_tests SOURCES ${base_tests} LIBRARIES kavrolin_base)

file(GLOB rules_tests CONFIGURE_DEPENDS rules/*_test.cpp)
kavrolin_windows_suite(kavrolin_rules_tests SOURCES ${rules_tests} LIBRARIES kavrolin_rules)

# The toolkit's pure functions: the tests that need no prefix.
set(toolkit_pure_tests
  toolkit/numbers/number_bases_test.cpp toolkit/path/path_parts_test.cpp
  toolkit/probe/ipv4_address_test.cpp toolkit/scramble/encode_string_test.cpp
  toolkit/scramble/string_encrypt_test.cpp toolkit/system/exit_windows_test.cpp
  toolkit/system/key_lock_test.cpp toolkit/system/machine_name_test.cpp
  toolkit/text/byte_text_test.cpp toolkit/text/counting_test.cpp
  toolkit/text/list_commas_test.cpp toolkit/text/markers_test.cpp
  toolkit/text/padding_test.cpp toolkit/text/replace_test.cpp)
kavrolin_windows_suite(kavrolin_toolkit_pure_tests SOURCES ${toolkit_pure_tests}
  LIBRARIES kavrolin_toolkit)

# The interfaces' contracts, held against the Win32 realisations and the
# fakes around them.
file(GLOB conformance_tests CONFIGURE_DEPENDS conformance/*_test.cpp)
kavrolin_windows_suite(kavrolin_conformance_tests SOURCES ${conformance_tests} LIBRARIES kavrolin_platform)
target_include_directories(kavrolin_conformance_tests PRIVATE conformance conformance/win32)

file(GLOB win32_tests CONFIGURE_DEPENDS platform/win32/*_test.cpp)
if(win32_tests)
  kavrolin_windows_suite(kavrolin_win32_tests SOURCES ${win32_tests} LIBRARIES kavrolin_platform)
  # The terminal library is loaded as the component loads it.
  target_compile_definitions(kavrolin_win32_tests PRIVATE KAVROLIN_TRANS_DLL="trans.dll")
  add_dependencies(kavrolin_win32_tests trans)
endif()
