# orvix_include_folders(<target> <PUBLIC|PRIVATE|INTERFACE> <folder>...)
#
# Puts the named folders of src/ on a target's include path, and nothing
# else of src/: includes are written from src/ ("addrbook/records.h"), so
# each folder gets an include root of its own in the build tree that holds
# only a link to it. A library thus exports just the folders its public
# headers are in, and a file that reaches into a folder its target does
# not name fails to compile.
function(orvix_include_folders target scope)
    foreach(folder ${ARGN})
        set(root ${PROJECT_BINARY_DIR}/include-roots/${folder})
        if(NOT IS_SYMLINK ${root}/${folder})
            file(MAKE_DIRECTORY ${root})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
        endif()
        target_include_directories(${target} ${scope} ${root})
    endforeach()
endfunction()
