# orvix_split_debug_info(TARGET): after each link the target's debug
# information moves into a file of its own beside it (OrvixFax.dll.debug),
# and the binary is stripped and names that file in its .gnu_debuglink
# section, where gdb and other debuggers look for it.
function(orvix_split_debug_info target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
                $<TARGET_FILE_NAME:${target}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        COMMENT "Moving the debug information of ${target} into a file of its own"
        VERBATIM)
endfunction()
