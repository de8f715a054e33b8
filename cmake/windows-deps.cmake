# What the Windows cross build uses in place of the host's packages.
#
# CLI11 and nlohmann/json are header-only: their headers (and nothing else of
# the host's /usr/include) are made visible through a folder of links.
# GoogleTest is built from the source Debian ships in /usr/src/googletest.
# SQLite is not needed: the Windows realisations keep settings in the real
# registry.
set(_host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${_host_headers})
foreach(dir CLI nlohmann)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/setup-deps.sh")
  endif()
  file(CREATE_LINK /usr/include/${dir} ${_host_headers}/${dir} SYMBOLIC)
endforeach()
add_library(kavrolin_host_headers INTERFACE)
target_include_directories(kavrolin_host_headers SYSTEM INTERFACE ${_host_headers})
add_library(CLI11::CLI11 ALIAS kavrolin_host_headers)
add_library(nlohmann_json::nlohmann_json ALIAS kavrolin_host_headers)

function(kavrolin_windows_gtest)
  set(source /usr/src/googletest)
  if(NOT EXISTS ${source}/CMakeLists.txt)
    message(FATAL_ERROR "${source} is missing: install the googletest package")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${source} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest 1.11 and later name its targets GTest::gtest and GTest::gmock.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gmock ALIAS gmock)
  endif()
endfunction()
