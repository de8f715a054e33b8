# Writes kavrolin.1 from the program's own command definitions:
#   cmake -DPROGRAM=path/to/kavrolin -DOUTPUT=path/to/kavrolin.1 -DPREFIX=folder -P man_page.cmake
# PREFIX is a scratch KAVROLIN_PREFIX, so generating touches no user's settings.
set(ENV{KAVROLIN_PREFIX} "${PREFIX}")
execute_process(COMMAND "${PROGRAM}" --man OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "${PROGRAM} --man failed: ${status}")
endif()
