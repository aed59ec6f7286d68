# Fails when a file under DIR includes anything but a standard library header
# (<name>, all lower case) or a file of its own ("name.h"): the counter logic
# must build with no window system and no other library.
file(GLOB_RECURSE sources "${DIR}/*.h" "${DIR}/*.cpp")
set(offenders "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*<")
  foreach(line IN LISTS includes)
    string(REGEX MATCH "<([^>]*)>" _ "${line}")
    if(NOT CMAKE_MATCH_1 MATCHES "^[a-z_]+$")
      list(APPEND offenders "${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n" report)
  message(FATAL_ERROR "Headers from outside the standard library:\n${report}")
endif()
message(STATUS "Only standard library headers in ${DIR}")
