# Checks that a module's dynamic symbol table defines exactly the symbols given.
#   cmake -DNM=<nm> -DMODULE=<file> "-DEXPORTS=a;b;c" -P cmake/CheckExports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${NM} -D --defined-only --format=posix ${MODULE}
    OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_VARIABLE error)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${MODULE}: ${error}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(found)
foreach(line IN LISTS lines)
    # "<name> <type> <value> [<size>]"; the version node of a version script is type A.
    if(line MATCHES "^([^ ]+) ([A-Za-z]) " AND NOT CMAKE_MATCH_2 STREQUAL "A")
        list(APPEND found "${CMAKE_MATCH_1}")
    endif()
endforeach()
list(SORT found)
set(expected ${EXPORTS})
list(SORT expected)
if(NOT found STREQUAL expected)
    message(FATAL_ERROR "${MODULE} exports\n  ${found}\nnot\n  ${expected}")
endif()
