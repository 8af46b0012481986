# Fails unless the shared libraries `PROGRAM` loads, directly or through others, include
# every name of PRESENT and none of ABSENT (names as ldd lists them, without "lib" and
# version). Run as: cmake -DPROGRAM=... -DPRESENT=a;b -DABSENT=c;d -P CheckLinks.cmake
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE loaded RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed: ${status}")
endif()
foreach(name IN LISTS PRESENT)
  if(NOT loaded MATCHES "lib${name}\\.so")
    message(FATAL_ERROR "${PROGRAM} does not load lib${name}:\n${loaded}")
  endif()
endforeach()
foreach(name IN LISTS ABSENT)
  if(loaded MATCHES "lib${name}\\.so")
    message(FATAL_ERROR "${PROGRAM} loads lib${name}:\n${loaded}")
  endif()
endforeach()
message(STATUS "${PROGRAM}:\n${loaded}")
