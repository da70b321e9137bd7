# Runs a program and passes when it exits with EXIT_CODE and its output
# (standard output and error together) matches PATTERN; with ONE_LINE, when
# that output is one line.
#   cmake -DEMULATOR=a|b -DPROGRAM=path -DARGUMENTS=x|y -DEXIT_CODE=n -DPATTERN=regex
#         [-DONE_LINE=ON] -P expect_exit.cmake
# Lists come with "|" between their items: CTest would split them at ";".
string(REPLACE "|" ";" emulator "${EMULATOR}")
string(REPLACE "|" ";" arguments "${ARGUMENTS}")
execute_process(COMMAND ${emulator} ${PROGRAM} ${arguments}
  RESULT_VARIABLE exit_code OUTPUT_VARIABLE output ERROR_VARIABLE output)
# Shown whatever the outcome: CTest keeps it, and a skip is told by it.
message("${output}")
if(NOT exit_code STREQUAL EXIT_CODE)
  message(FATAL_ERROR "exit status ${exit_code}, expected ${EXIT_CODE}")
endif()
if(NOT output MATCHES "${PATTERN}")
  message(FATAL_ERROR "the output does not match \"${PATTERN}\"")
endif()
string(REGEX MATCHALL "\n" newlines "${output}")
list(LENGTH newlines lines)
if(ONE_LINE AND NOT lines EQUAL 1)
  message(FATAL_ERROR "${lines} lines, expected one")
endif()
