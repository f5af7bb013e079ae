# Writes the import library of the 32-bit OrvixFax.dll (cmake -P).
#
# The DLL exports its __stdcall functions undecorated (PSOrvixFaxCall), as
# the drivers look them up, but a 32-bit caller's compiler asks for the
# decorated symbol (_PSOrvixFaxCall@8). The import library made here maps
# the one to the other; the decorations are read from the module's own
# objects, so they cannot drift from the functions.
#
# -DNM= -DDLLTOOL= -DDEF=orvixfax.def -DARCHIVE=the module's static library
# -DOUTPUT=the import library to write
execute_process(COMMAND ${NM} --defined-only ${ARCHIVE}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${ARCHIVE}")
endif()

file(STRINGS ${DEF} lines)
set(decorated "LIBRARY OrvixFax.dll\nEXPORTS\n")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+@([0-9]+)")
        set(name ${CMAKE_MATCH_1})
        set(ordinal ${CMAKE_MATCH_2})
        if(NOT symbols MATCHES " T _${name}@([0-9]+)\n")
            message(FATAL_ERROR "${name} is not a __stdcall function of ${ARCHIVE}")
        endif()
        string(APPEND decorated "    ${name}@${CMAKE_MATCH_1} @${ordinal}\n")
        math(EXPR count "${count} + 1")
    endif()
endforeach()
if(count EQUAL 0)
    message(FATAL_ERROR "${DEF} lists no exports")
endif()

set(decorated_def ${OUTPUT}.def)
file(WRITE ${decorated_def} "${decorated}")
execute_process(COMMAND ${DLLTOOL} --kill-at --def ${decorated_def} --dllname OrvixFax.dll --output-lib ${OUTPUT}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${DLLTOOL} could not write ${OUTPUT}")
endif()
