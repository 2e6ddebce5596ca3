# Delay-load import libraries: a DLL linked through one is loaded by the first call of one of its
# functions, not when the program starts. ZelmoSound starts resident and idle; what only the
# dialogs, the jellyfish, the Startup shortcut and the sounds need (COMDLG32 with the print
# spooler it brings, OLE32 with COM's runtime, COMCTL32, WINMM with the audio codecs) costs
# memory and start time only once it is used.
#
# zelmo_delay_load(TARGET DLL FUNCTION...) links TARGET to DLL through such a library that names
# only the FUNCTIONs given: a function of DLL that the program starts to use and that is not
# named fails to link, rather than quietly loading DLL at the start again. On i686 a FUNCTION
# is written with its stdcall argument bytes (PlaySoundA@12); they are dropped elsewhere.
function(zelmo_delay_load target dll)
    string(TOLOWER ${dll} base)
    get_filename_component(base ${base} NAME_WE)
    set(def ${CMAKE_CURRENT_BINARY_DIR}/delayload/${target}/${base}.def)
    set(lib ${CMAKE_CURRENT_BINARY_DIR}/delayload/${target}/lib${base}_delay.a)
    set(text "LIBRARY ${dll}\nEXPORTS\n")
    foreach(function ${ARGN})
        if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
            string(REGEX REPLACE "@[0-9]+$" "" function ${function})
        endif()
        string(APPEND text "${function}\n")
    endforeach()
    file(WRITE ${def} ${text})
    # --kill-at: the DLL exports the stdcall functions by their plain names.
    add_custom_command(OUTPUT ${lib}
        COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${def} --dllname ${dll}
                --output-delaylib ${lib}
        DEPENDS ${def}
        COMMENT "Delay-load import library of ${dll}"
        VERBATIM)
    add_custom_target(${target}_delay_${base} DEPENDS ${lib})
    add_dependencies(${target} ${target}_delay_${base})
    target_link_libraries(${target} PRIVATE ${lib})
endfunction()
