# What `cmake --install` puts on a Linux machine, and the package that another
# CMake or pkg-config project finds it by:
#   bin/kavrolin                  the command-line host
#   lib/libkavrolin.so.17         the in-process server (four exports)
#   lib/libkavrolin_*.a           the C++ library of the three classes, one
#                                 static archive per layer
#   lib/kavrolin/libtrans.so      the terminal simulator, off the library
#                                 search path: a register that found it would
#                                 approve sales without a terminal
#   include/kavrolin/...          the headers, included as "transaction/..."
#   lib/cmake/Kavrolin/           Kavrolin::kavrolin and its version file
#   lib/pkgconfig/kavrolin.pc
#   share/doc/kavrolin/           README, copyright
#   share/man/man1/kavrolin.1     when the build made it
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KAVROLIN_INCLUDE_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/kavrolin)
set(KAVROLIN_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kavrolin)

# The layers, bottom up; a layer that this tree does not have is skipped.
set(kavrolin_layers)
foreach(layer base rules platform transaction toolkit component)
  if(TARGET kavrolin_${layer})
    list(APPEND kavrolin_layers kavrolin_${layer})
    set_target_properties(kavrolin_${layer} PROPERTIES EXPORT_NAME ${layer})
  endif()
endforeach()

install(TARGETS ${kavrolin_layers} kavrolin_classes
  EXPORT KavrolinTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${KAVROLIN_INCLUDE_INSTALL_DIR})
set_target_properties(kavrolin_library PROPERTIES EXPORT_NAME server)
# A stripped install (install/strip, the package) keeps the archives' symbols
# but not their debug information.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB archives \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/libkavrolin_*.a\")
    foreach(archive \${archives})
      execute_process(COMMAND ${CMAKE_STRIP} --strip-debug \${archive} COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
install(TARGETS kavrolin_library
  EXPORT KavrolinTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS kavrolin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS trans LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/kavrolin)

# Every header of the layers but the other platform's realisations and the
# code page tables' test-only view.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/
  DESTINATION ${KAVROLIN_INCLUDE_INSTALL_DIR}
  FILES_MATCHING PATTERN "*.h"
  PATTERN "win32" EXCLUDE
  PATTERN "library" EXCLUDE
  PATTERN "code_page_converter_iconv.h" EXCLUDE)
install(DIRECTORY ${PROJECT_BINARY_DIR}/src/generated/
  DESTINATION ${KAVROLIN_INCLUDE_INSTALL_DIR}
  FILES_MATCHING PATTERN "*.h")

install(EXPORT KavrolinTargets NAMESPACE Kavrolin:: DESTINATION ${KAVROLIN_CMAKE_INSTALL_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KavrolinConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KavrolinConfig.cmake
  INSTALL_DESTINATION ${KAVROLIN_CMAKE_INSTALL_DIR})
# 17.x only: a new major version is a new interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KavrolinConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KavrolinConfig.cmake ${PROJECT_BINARY_DIR}/KavrolinConfigVersion.cmake
  DESTINATION ${KAVROLIN_CMAKE_INSTALL_DIR})

# pkg-config: archives in link order (the layer above first), then what they
# need themselves. The file finds its prefix from where it lies.
set(KAVROLIN_PC_LIBS "")
list(REVERSE kavrolin_layers)
foreach(layer ${kavrolin_layers})
  string(APPEND KAVROLIN_PC_LIBS " -l${layer}")
endforeach()
list(REVERSE kavrolin_layers)
set(KAVROLIN_PC_DL "")
if(CMAKE_DL_LIBS)
  set(KAVROLIN_PC_DL " -l${CMAKE_DL_LIBS}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/kavrolin.pc.in ${PROJECT_BINARY_DIR}/kavrolin.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kavrolin.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/copyright
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kavrolin)
if(KAVROLIN_MAN_PAGE)
  # Optional: a tree built for the demo alone has not made it.
  install(FILES ${KAVROLIN_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 OPTIONAL)
endif()

# The Debian package: everything above under /usr, its Depends computed from
# what the binaries link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavrolin)
set(CPACK_PACKAGE_VENDOR "Kavrolin")
set(CPACK_PACKAGE_CONTACT "Kavrolin maintainers <maintainers@kavrolin.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Card payments for point-of-sale applications, and a toolkit for them")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"The component a point-of-sale application loads to take bank-card payments
through the card terminal's transaction library, with a daily journal of every
outcome and payment records that survive a crash; plus a toolkit of services
(INI files, registry, log file, paths, number bases, text helpers).

This package holds the kavrolin command-line host, the in-process server
library, the C++ library with its headers, CMake package and pkg-config file,
and a terminal simulator in /usr/lib/kavrolin for trying transactions.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package CACHE PATH "Where cpack writes the packages")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The headers need the SQLite headers only through the CMake package's
# dependency; the archives need the library to link.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsqlite3-dev")
# The versioned server library gets its shlibs file and ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
