# orvix_resource_tables(<target> RC <script.rc> MODULE <file name> [DEPENDS <files>...])
#
# The portable layer's tables of a resource script (tools/rcgen), as a
# library of their own. Over the portable layer a module's resources come
# to a program as they come with a DLL on Windows: the tables register
# themselves under the module's file name before main, so the library is
# linked in whole (nothing in it is called by name). DEPENDS names the
# files the script reads besides itself (headers, icons).
function(orvix_resource_tables target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "RC;MODULE" "DEPENDS")
    set(constants ${PROJECT_SOURCE_DIR}/src/platform/portable/windows.h)
    set(tables ${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp)
    get_filename_component(script ${arg_RC} NAME)
    add_custom_command(
        OUTPUT ${tables}
        COMMAND rcgen --rc ${arg_RC} --constants ${constants} --module ${arg_MODULE} --out ${tables}
        DEPENDS rcgen ${arg_RC} ${constants} ${arg_DEPENDS}
        COMMENT "Generating the portable resource tables of ${script}"
        VERBATIM)
    add_library(${target}_tables STATIC ${tables})
    target_link_libraries(${target}_tables PRIVATE orvixfax_portable)
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}_tables>")
endfunction()
