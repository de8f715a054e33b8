# What every binary that ships for Windows gets:
#  - the XP stand-ins of functions the statically linked runtime imports
#    (src/platform/win32/xp),
#  - a VERSIONINFO resource made from the project version (the one source),
#  - in a Release build, its debug information moved to <file>.debug beside
#    it (objcopy --only-keep-debug) and the binary stripped with a
#    .gnu_debuglink to that file, so a crash can still be read.
#
#   kavrolin_ship(TARGET DESCRIPTION "text")
# Call it in the folder that defines TARGET (post-build steps must be).
find_program(KAVROLIN_OBJCOPY NAMES ${KAVROLIN_MINGW_TRIPLE}-objcopy objcopy REQUIRED)
find_program(KAVROLIN_STRIP NAMES ${KAVROLIN_MINGW_TRIPLE}-strip strip REQUIRED)

add_library(kavrolin_xp_runtime OBJECT ${PROJECT_SOURCE_DIR}/src/platform/win32/xp/get_tick_count64.cpp)

function(kavrolin_ship target)
  cmake_parse_arguments(PARSE_ARGV 1 ship "" "DESCRIPTION" "")
  get_target_property(type ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  get_target_property(prefix ${target} PREFIX)
  if(NOT prefix)
    set(prefix "")
  endif()
  if(type STREQUAL "EXECUTABLE")
    set(KAVROLIN_FILE_NAME ${prefix}${name}.exe)
    set(KAVROLIN_FILE_TYPE VFT_APP)
  else()
    set(KAVROLIN_FILE_NAME ${prefix}${name}.dll)
    set(KAVROLIN_FILE_TYPE VFT_DLL)
  endif()
  set(KAVROLIN_FILE_DESCRIPTION "${ship_DESCRIPTION}")
  set(KAVROLIN_INTERNAL_NAME ${name})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc} $<TARGET_OBJECTS:kavrolin_xp_runtime>)

  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${KAVROLIN_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
      COMMAND ${KAVROLIN_STRIP} --strip-all $<TARGET_FILE:${target}>
      COMMAND ${CMAKE_COMMAND} -E chdir $<TARGET_FILE_DIR:${target}>
              ${KAVROLIN_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
              $<TARGET_FILE_NAME:${target}>
      COMMENT "${KAVROLIN_FILE_NAME}: stripped, debug information in ${KAVROLIN_FILE_NAME}.debug"
      VERBATIM)
  endif()
endfunction()
