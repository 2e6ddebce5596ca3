# Host tools and the assets they generate (icons, sounds). The tools run on the build machine:
# in the sim build they are ordinary targets; in the Windows build they are built by a nested
# native project, since the cross compiler's programs cannot run here.
if(ZELMO_PLATFORM STREQUAL "sim")
    add_subdirectory(tools)
    set(ZELMO_HOST_TOOLS_TARGET "")
    set(ZELMO_TOOL_ICONGEN $<TARGET_FILE:zelmo-icongen>)
    set(ZELMO_TOOL_SOUNDGEN $<TARGET_FILE:zelmo-soundgen>)
else()
    include(ExternalProject)
    set(ZELMO_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
    ExternalProject_Add(zelmo_host_tools
        SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
        BINARY_DIR ${ZELMO_HOST_TOOLS_DIR}
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${ZELMO_HOST_TOOLS_DIR}/icongen/zelmo-icongen
                         ${ZELMO_HOST_TOOLS_DIR}/soundgen/zelmo-soundgen)
    set(ZELMO_HOST_TOOLS_TARGET zelmo_host_tools)
    set(ZELMO_TOOL_ICONGEN ${ZELMO_HOST_TOOLS_DIR}/icongen/zelmo-icongen)
    set(ZELMO_TOOL_SOUNDGEN ${ZELMO_HOST_TOOLS_DIR}/soundgen/zelmo-soundgen)
endif()

# Each asset kind has its own file, which defines its generation targets:
#   Icons.cmake  -> target zelmo_icons; ZELMO_ICON_DIR (the .ico files), ZELMO_SIM_ICON_TABLE
#                   (generated C++ pixel tables for the simulated desktop)
#   Sounds.cmake -> target zelmo_sounds; ZELMO_SOUND_DIR (every .wav the program names)
include(${CMAKE_SOURCE_DIR}/cmake/Icons.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/Sounds.cmake)
