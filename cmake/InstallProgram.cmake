# install_program_as(<target> <destination> <name>)
# Installs the executable of <target> as <destination>/<name>: the build keeps
# its short names (build/capture), the installed tree prefixes them with the
# package name, which install(TARGETS) cannot do. Like install(TARGETS), the
# copy is stripped by `cmake --install --strip` and by CPack (CPACK_STRIP_FILES),
# of its symbols and, as Debian's dh_strip does, of the .comment and .note
# sections nothing reads at run time.
function(install_program_as target destination name)
    install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION ${destination} RENAME ${name})
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()")
endfunction()
