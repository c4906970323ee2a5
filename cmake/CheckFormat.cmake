# Run as a test: cmake -DCLANG_FORMAT=... -DSOURCE_DIR=... -P CheckFormat.cmake
# Fails, listing the files, when clang-format with the repository's .clang-format would change
# any source file of src/, tests/ or bench/. Fix with: clang-format -i FILE...
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h
  ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
  ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h)
list(SORT files)
execute_process(
  COMMAND ${CLANG_FORMAT} --dry-run --Werror --style=file ${files}
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE result
  ERROR_VARIABLE report)
if(NOT result EQUAL 0)
  # One line per finding, "FILE:LINE:COLUMN: error: code should be clang-formatted"; list each
  # file once.
  string(REGEX MATCHALL "[^\n:]+:[0-9]+:[0-9]+: error: code should be clang-formatted" findings "${report}")
  set(unformatted)
  foreach(finding ${findings})
    string(REGEX REPLACE ":[0-9]+:[0-9]+: error:.*" "" path "${finding}")
    list(APPEND unformatted ${path})
  endforeach()
  list(REMOVE_DUPLICATES unformatted)
  if(NOT unformatted)
    message(FATAL_ERROR "clang-format failed:\n${report}")
  endif()
  list(JOIN unformatted "\n  " listing)
  message(FATAL_ERROR "Not formatted with the repository's .clang-format (clang-format -i FILE):\n  ${listing}")
endif()
list(LENGTH files count)
message(STATUS "${count} source files formatted")
