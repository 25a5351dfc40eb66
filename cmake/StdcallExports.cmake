# stdcall_exports(target def.in): exports a DLL's functions under their plain
# names. The .def.in lists each export with its 32-bit "@N" argument size. On
# i686 the DLL is linked with the sizes cut off (--kill-at) and its import
# library is rebuilt by dlltool so that callers' decorated references still
# resolve; x86_64 has no decoration and gets the list without the sizes.
function(stdcall_exports target def_in)
    get_filename_component(def_in ${def_in} ABSOLUTE)
    get_filename_component(def_name ${def_in} NAME_WE)
    set(def ${CMAKE_CURRENT_BINARY_DIR}/${def_name}.def)
    file(READ ${def_in} text)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        file(WRITE ${def} "${text}")
        target_link_options(${target} PRIVATE -Wl,--kill-at)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_DLLTOOL} -k -d ${def} -D $<TARGET_FILE_NAME:${target}> -l $<TARGET_LINKER_FILE:${target}>
            VERBATIM)
    else()
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        file(WRITE ${def} "${text}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def_in})
    target_sources(${target} PRIVATE ${def})
endfunction()
