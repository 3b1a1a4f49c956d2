# Checks that MODULE exports exactly the names in EXPECTED (a list), read
# from the name table that "objdump -p" prints for a PE file.
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed")
endif()

# The table's rows look like "\t[   0] +base[   1]  0000 name" (the newer
# binutils) or "\t[   0] name"; the name is the row's last word.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[^\n]*\n)*)" table "${dump}")
set(rows "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "[^\n]+" rows "${rows}")
set(exported)
foreach(row IN LISTS rows)
  string(REGEX MATCH "[^ \t]+$" name "${row}")
  list(APPEND exported ${name})
endforeach()

list(SORT exported)
set(expected ${EXPECTED})
list(SORT expected)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "${MODULE} exports [${exported}], expected exactly [${expected}]")
endif()
message(STATUS "${MODULE} exports exactly [${exported}]")
