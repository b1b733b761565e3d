# The version stamp: empty commit for a source tree without git (a tarball), the
# checkout's commit otherwise, and an unchanged stamp left alone so nothing rebuilds.
#   cmake -DSTAMP_SCRIPT=... -DTEMPLATE=... -DSOURCE_DIR=... -DWORK=... -P check_stamp.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/tarball")

function(stamp source output)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${source} -DVERSION=9.8
    -DTEMPLATE=${TEMPLATE} -DOUTPUT=${output} -P ${STAMP_SCRIPT} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "the stamp script failed for ${source}")
  endif()
endfunction()

stamp("${WORK}/tarball" "${WORK}/tarball.cpp")
file(READ "${WORK}/tarball.cpp" text)
if(NOT text MATCHES "VERSION = \"9.8\"" OR NOT text MATCHES "COMMIT = \"\"")
  message(FATAL_ERROR "a tree without git: ${text}")
endif()

if(EXISTS "${SOURCE_DIR}/.git")
  stamp("${SOURCE_DIR}" "${WORK}/checkout.cpp")
  file(READ "${WORK}/checkout.cpp" text)
  if(NOT text MATCHES "COMMIT = \"[0-9a-f]+(-dirty)?\"")
    message(FATAL_ERROR "a checkout without its commit: ${text}")
  endif()
  file(TIMESTAMP "${WORK}/checkout.cpp" before "%s")
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1.1)
  stamp("${SOURCE_DIR}" "${WORK}/checkout.cpp")
  file(TIMESTAMP "${WORK}/checkout.cpp" after "%s")
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "an unchanged stamp was written again")
  endif()
endif()
file(REMOVE_RECURSE "${WORK}")
