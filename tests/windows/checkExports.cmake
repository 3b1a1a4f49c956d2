# Checks that MODULE exports exactly the names in EXPECTED (comma-separated), read
# from the name table that "objdump -p" prints for a PE file. With NM given,
# also that the module has no static constructors: it runs without the C
# runtime's start-up, which is what would call them. With MAGIC given
# (PE32 or PE32+), also the file's format, and that it has an entry point.
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed")
endif()

if(MAGIC)
  string(REGEX MATCH "Magic[ \t]+[0-9a-fA-F]+[ \t]+[(]([^)]+)[)]" found "${dump}")
  if(NOT CMAKE_MATCH_1 STREQUAL MAGIC)
    message(FATAL_ERROR "${MODULE} is [${CMAKE_MATCH_1}], expected ${MAGIC}")
  endif()
  string(REGEX MATCH "AddressOfEntryPoint[ \t]+([0-9a-fA-F]+)" found "${dump}")
  if(NOT found OR CMAKE_MATCH_1 MATCHES "^0+$")
    message(FATAL_ERROR "${MODULE} has no entry point")
  endif()
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
string(REPLACE "," ";" expected "${EXPECTED}")
list(SORT expected)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "${MODULE} exports [${exported}], expected exactly [${expected}]")
endif()
message(STATUS "${MODULE} exports exactly [${exported}]")

if(NM)
  execute_process(COMMAND ${NM} ${MODULE} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
  string(REGEX MATCHALL "_GLOBAL__sub_I_[^\n]*" constructors "${symbols}")
  if(NOT status EQUAL 0 OR constructors)
    message(FATAL_ERROR "${MODULE} has static constructors that would never run: [${constructors}]")
  endif()
endif()
