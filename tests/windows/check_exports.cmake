# cmake -DOBJDUMP=... -DLIBRARY=x.dll -DHEADER=entry_points.h -P check_exports.cmake
# Fails unless the DLL's export table names exactly the entry points listed in
# VEXA_ENTRY_POINTS, by name, with no export by ordinal only.
cmake_minimum_required(VERSION 3.25)
file(READ ${HEADER} header)
string(REGEX MATCHALL "X\\(vexa_[a-z_]+\\)" entries "${header}")
string(REGEX REPLACE "X\\((vexa_[a-z_]+)\\)" "\\1" expected "${entries}")
list(LENGTH expected expected_count)
if(NOT expected_count EQUAL 14)
  message(FATAL_ERROR "${HEADER}: ${expected_count} entry points read, 14 expected")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed")
endif()
# The name table: "[Ordinal/Name Pointer] Table" then "\t[   0] name" lines.
# The address table counts every export, named or not. (Brackets stay out of
# CMake lists: they would keep the lists from splitting.)
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n((\t\\[ *[0-9]+\\] [^\n]*\n)*)" table
  "${dump}")
string(REGEX REPLACE "\t\\[ *[0-9]+\\] ([^\n]*)\n" "\\1;" exported "${CMAKE_MATCH_1}")
string(REGEX REPLACE ";$" "" exported "${exported}")
string(REGEX MATCH "Export Address Table --[^\n]*\n((\t\\[ *[0-9]+\\] [^\n]*\n)*)" addresses
  "${dump}")
string(REGEX REPLACE "\t\\[ *[0-9]+\\] [^\n]*\n" "x" addresses "${CMAKE_MATCH_1}")
string(LENGTH "${addresses}" address_count)

list(SORT expected)
list(SORT exported)
if(NOT exported STREQUAL expected OR NOT address_count EQUAL 14)
  list(JOIN exported "\n  " shown)
  message(FATAL_ERROR "${LIBRARY} exports ${address_count} entries, named:\n  ${shown}\n"
    "expected exactly the 14 of ${HEADER}")
endif()
message(STATUS "${LIBRARY}: exactly the 14 entry points exported")
