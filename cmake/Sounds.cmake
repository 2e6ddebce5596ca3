# Sound files, synthesised at build time by zelmo-soundgen (tools/soundgen) into
# ${CMAKE_BINARY_DIR}/sounds; no recorded sound is kept in the source tree.
#   zelmo_sounds        (in ALL) regenerates the files when the synthesizer's sources change
#   zelmo_spectrograms  (on demand) writes ${CMAKE_BINARY_DIR}/spectrograms/<name>.png, a
#                       picture of each sound for review, and prints each file's levels
#   ZELMO_SOUND_DIR     the folder holding every .wav the program names
if(NOT ZELMO_TOOL_SOUNDGEN)
    message(FATAL_ERROR "Sounds.cmake: the sound synthesizer (tools/soundgen) is not available")
endif()

set(ZELMO_SOUND_DIR ${CMAKE_BINARY_DIR}/sounds)
set(ZELMO_SPECTROGRAM_DIR ${CMAKE_BINARY_DIR}/spectrograms)
set(_zelmo_sounds_stamp ${CMAKE_BINARY_DIR}/sounds.stamp)

file(GLOB _zelmo_soundgen_sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/tools/soundgen/*.cpp
    ${CMAKE_SOURCE_DIR}/tools/soundgen/*.h
    ${CMAKE_SOURCE_DIR}/tools/soundgen/CMakeLists.txt)

set(_zelmo_soundgen_depends ${_zelmo_soundgen_sources})
if(TARGET zelmo-soundgen)
    # Native build: the tool is a target of this project (target and file dependency).
    list(APPEND _zelmo_soundgen_depends zelmo-soundgen)
endif()
if(ZELMO_HOST_TOOLS_TARGET)
    # Cross build: the tool comes out of the nested native project; its binary is a byproduct.
    list(APPEND _zelmo_soundgen_depends ${ZELMO_HOST_TOOLS_TARGET} ${ZELMO_TOOL_SOUNDGEN})
endif()

add_custom_command(
    OUTPUT ${_zelmo_sounds_stamp}
    COMMAND ${ZELMO_TOOL_SOUNDGEN} ${ZELMO_SOUND_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${_zelmo_sounds_stamp}
    DEPENDS ${_zelmo_soundgen_depends}
    COMMENT "Synthesising sounds into ${ZELMO_SOUND_DIR}"
    VERBATIM)
add_custom_target(zelmo_sounds ALL DEPENDS ${_zelmo_sounds_stamp})

# The spectrogram run regenerates the sounds as well; the tool leaves files whose bytes are
# unchanged untouched, so this does not make anything that uses the sounds out of date.
add_custom_target(zelmo_spectrograms
    COMMAND ${ZELMO_TOOL_SOUNDGEN} ${ZELMO_SOUND_DIR} --spectrograms ${ZELMO_SPECTROGRAM_DIR}
    COMMENT "Drawing sound spectrograms into ${ZELMO_SPECTROGRAM_DIR}"
    VERBATIM)
add_dependencies(zelmo_spectrograms zelmo_sounds)
if(ZELMO_HOST_TOOLS_TARGET)
    add_dependencies(zelmo_sounds ${ZELMO_HOST_TOOLS_TARGET})
endif()
