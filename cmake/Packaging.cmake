# What each build installs, and the ZIP package of each Windows build.
#
# Windows builds (cpack in build/win64 or build/win32 writes
# OrvixFax-VERSION-win64.zip or ...-win32.zip), inside a folder of that name:
#   bin/OrvixFax.dll            the module, stripped
#   lib/libOrvixFax.dll.a       its import library
#   lib/OrvixFax.def            its exports with their ordinals
#   include/orvixfax.h          the whole interface
#   debug/OrvixFax.dll.debug    debug information of the DLL ...
#   debug/orvixfax.exe.debug    ... and of the command
#   orvixfax.exe                the command
#   LICENSE, README-drivers.md
# The native build (cmake --install) installs the command, its manual page
# (man/), its bash completion, the sample data and the license.
if(ORVIX_WINDOWS)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(ORVIX_PACKAGE_NAME OrvixFax-${PROJECT_VERSION}-win64)
    else()
        set(ORVIX_PACKAGE_NAME OrvixFax-${PROJECT_VERSION}-win32)
    endif()

    install(TARGETS OrvixFax RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
    install(FILES ${PROJECT_SOURCE_DIR}/src/entry/orvixfax.def DESTINATION lib RENAME OrvixFax.def)
    install(FILES ${ORVIX_PUBLIC_INCLUDE}/orvixfax.h DESTINATION include)
    install(FILES $<TARGET_FILE:OrvixFax>.debug DESTINATION debug)
    if(TARGET orvixfax)
        install(TARGETS orvixfax RUNTIME DESTINATION .)
        install(FILES $<TARGET_FILE:orvixfax>.debug DESTINATION debug)
    endif()
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README-drivers.md DESTINATION .)

    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME OrvixFax)
    set(CPACK_PACKAGE_VENDOR "The OrvixFax authors")
    set(CPACK_PACKAGE_FILE_NAME ${ORVIX_PACKAGE_NAME})
    set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
    include(CPack)
else()
    include(GNUInstallDirs)
    if(TARGET orvixfax)
        install(TARGETS orvixfax RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
    # Named as the command, where bash-completion looks for it on demand.
    install(FILES ${PROJECT_SOURCE_DIR}/completions/orvixfax.bash
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME orvixfax)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/orvixfax/samples)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
