# Icons: resources/icons/<NAME>.txt text grids -> ${ZELMO_ICON_DIR}/<NAME>.ico (for windres) and
# ${ZELMO_SIM_ICON_TABLE} (the simulated desktop's pixel tables), by zelmo-icongen. The jellyfish's
# pictures (J...), drawn fifteen at a time every 300 ms, are stored with 32 bits a pixel and an
# alpha channel: each draw of a 16-colour icon's colours costs Wine three round trips to its
# server (it looks at the display devices again), one with an alpha channel none, and both give
# the same pixels.
# Included by cmake/Assets.cmake once ZELMO_TOOL_ICONGEN and ZELMO_HOST_TOOLS_TARGET are set.
if(NOT ZELMO_TOOL_ICONGEN)
    message(FATAL_ERROR "Icons.cmake: the icon generator (tools/icongen) is missing")
endif()

set(ZELMO_ICON_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../resources/icons)
cmake_path(NORMAL_PATH ZELMO_ICON_SOURCE_DIR)
set(ZELMO_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ZELMO_SIM_ICON_TABLE ${ZELMO_ICON_DIR}/sim_icons.cpp)

file(GLOB ZELMO_ICON_GRIDS CONFIGURE_DEPENDS ${ZELMO_ICON_SOURCE_DIR}/*.txt)
list(SORT ZELMO_ICON_GRIDS)
set(ZELMO_ICON_FILES "")
foreach(grid IN LISTS ZELMO_ICON_GRIDS)
    get_filename_component(name ${grid} NAME_WE)
    list(APPEND ZELMO_ICON_FILES ${ZELMO_ICON_DIR}/${name}.ico)
endforeach()

# What the generator's run depends on besides the grids: the tool itself, and in the Windows
# build the nested native project that builds it.
set(ZELMO_ICONGEN_DEPENDS "")
if(TARGET zelmo-icongen)
    list(APPEND ZELMO_ICONGEN_DEPENDS zelmo-icongen)
endif()
if(ZELMO_HOST_TOOLS_TARGET)
    list(APPEND ZELMO_ICONGEN_DEPENDS ${ZELMO_HOST_TOOLS_TARGET} ${ZELMO_TOOL_ICONGEN})
endif()

add_custom_command(
    OUTPUT ${ZELMO_ICON_FILES} ${ZELMO_SIM_ICON_TABLE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZELMO_ICON_DIR}
    COMMAND ${ZELMO_TOOL_ICONGEN} --ico-dir ${ZELMO_ICON_DIR} --sim-table ${ZELMO_SIM_ICON_TABLE}
            --argb-prefix J ${ZELMO_ICON_GRIDS}
    DEPENDS ${ZELMO_ICON_GRIDS} ${ZELMO_ICONGEN_DEPENDS}
    COMMENT "Generating icons from resources/icons"
    VERBATIM)
add_custom_target(zelmo_icons ALL DEPENDS ${ZELMO_ICON_FILES} ${ZELMO_SIM_ICON_TABLE})

# Every icon enlarged on a checkerboard with its name, for looking at the pictures. Not in ALL.
set(ZELMO_ICON_CONTACT_SHEET ${ZELMO_ICON_DIR}/contact_sheet.png)
add_custom_command(
    OUTPUT ${ZELMO_ICON_CONTACT_SHEET}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZELMO_ICON_DIR}
    COMMAND ${ZELMO_TOOL_ICONGEN} --contact-sheet ${ZELMO_ICON_CONTACT_SHEET} ${ZELMO_ICON_GRIDS}
    DEPENDS ${ZELMO_ICON_GRIDS} ${ZELMO_ICONGEN_DEPENDS}
    COMMENT "Drawing the icon contact sheet"
    VERBATIM)
add_custom_target(zelmo_contact_sheet DEPENDS ${ZELMO_ICON_CONTACT_SHEET})

foreach(target zelmo_icons zelmo_contact_sheet)
    if(ZELMO_HOST_TOOLS_TARGET)
        add_dependencies(${target} ${ZELMO_HOST_TOOLS_TARGET})
    endif()
    if(TARGET zelmo-icongen)
        add_dependencies(${target} zelmo-icongen)
    endif()
endforeach()
