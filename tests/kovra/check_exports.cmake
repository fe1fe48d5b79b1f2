# Compares `nm -D --defined-only` of the library with the expected export list, exactly.
#
# Nothing is filtered: with g++ 12 neither AddressSanitizer nor UndefinedBehaviorSanitizer adds a
# defined dynamic symbol to an instrumented shared library (their runtimes are separate shared
# libraries, and references to them are undefined symbols, which --defined-only leaves out), and the
# library's version script keeps everything else local, including standard-library template
# instances that would otherwise be exported with default visibility. So the sanitizer build must
# list exactly the same names as the ordinary one.
foreach(var NM LIBRARY EXPECTED)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "check_exports: ${var} not given")
    endif()
endforeach()

execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE nm_output RESULT_VARIABLE nm_result ERROR_VARIABLE nm_error)
if(NOT nm_result EQUAL 0)
    message(FATAL_ERROR "check_exports: ${NM} failed on ${LIBRARY}: ${nm_error}")
endif()

# Each line: address, type letter, name (possibly with a @version suffix, which must not occur).
string(REPLACE "\n" ";" nm_lines "${nm_output}")
set(actual "")
foreach(line IN LISTS nm_lines)
    if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) (.+)$")
        if(NOT CMAKE_MATCH_1 STREQUAL "T")
            message(SEND_ERROR "check_exports: ${CMAKE_MATCH_2} is not a routine (${CMAKE_MATCH_1})")
        endif()
        list(APPEND actual "${CMAKE_MATCH_2}")
    elseif(NOT line STREQUAL "")
        message(FATAL_ERROR "check_exports: cannot read nm line '${line}'")
    endif()
endforeach()

file(STRINGS ${EXPECTED} expected REGEX "^[^#]")
list(SORT actual)
list(SORT expected)
list(LENGTH actual n_actual)
list(LENGTH expected n_expected)

set(missing ${expected})
if(actual)
    list(REMOVE_ITEM missing ${actual})
endif()
set(extra ${actual})
if(expected)
    list(REMOVE_ITEM extra ${expected})
endif()
if(missing OR extra OR NOT n_actual EQUAL n_expected)
    message(FATAL_ERROR "check_exports: ${n_actual} exported, ${n_expected} expected\n"
                        "  missing: ${missing}\n  not expected: ${extra}")
endif()
if(NOT n_expected EQUAL 42)
    message(FATAL_ERROR "check_exports: the expected list has ${n_expected} names, not 42")
endif()
message(STATUS "check_exports: exactly the ${n_actual} expected routines")
