# The sim build: the simulated desktop, the program logic on top of it, and the tests.
set(ZELMO_SIM_SOURCES
    platform/sim/desktop.cpp
    platform/sim/windows.cpp
    platform/sim/messages.cpp
    platform/sim/paths.cpp
    platform/sim/files.cpp
    platform/sim/findfiles.cpp
    platform/sim/filefaults.cpp
    platform/sim/sound.cpp
    platform/sim/geometry.cpp
    platform/sim/paint.cpp
    platform/sim/mouse.cpp
    platform/sim/tooltips.cpp
    platform/sim/format.cpp
    platform/sim/resources.cpp
    platform/sim/script_lexer.cpp
    platform/sim/modal.cpp
    platform/sim/shell.cpp
    platform/sim/dialogs.cpp
    platform/sim/controls.cpp
    platform/sim/com.cpp
    platform/sim/text.cpp
    platform/sim/gdi.cpp
    platform/sim/fonts.cpp
    platform/sim/names.cpp
    platform/sim/folders.cpp
    platform/sim/listbox.cpp
    platform/sim/filedialog.cpp
    ${ZELMO_SIM_ICON_TABLE}
)

add_library(zelmo_sim STATIC ${ZELMO_SIM_SOURCES})
# "platform.h" is found on the simulated side; every other header by its path from the root.
target_include_directories(zelmo_sim PUBLIC platform/sim ${CMAKE_SOURCE_DIR})
target_compile_definitions(zelmo_sim PRIVATE
    ZELMO_RESOURCE_SCRIPT="${CMAKE_SOURCE_DIR}/resources/ZelmoSound.rc")
find_package(Threads REQUIRED)
target_link_libraries(zelmo_sim PUBLIC Threads::Threads zelmo_formats)
# The simulated desktop measures text with the font files our set-up installs for Wine (the Ume
# faces, fonts-horai-umefont), read with FreeType (libfreetype-dev): scripts/setup.sh installs
# both.
find_package(Freetype REQUIRED)
find_path(ZELMO_FONT_DIR ume-ugo4.ttf PATHS /usr/share/fonts/truetype/horai-umefont NO_DEFAULT_PATH)
if(NOT ZELMO_FONT_DIR)
    message(FATAL_ERROR "The Ume fonts are missing (package fonts-horai-umefont): run scripts/setup.sh")
endif()
target_link_libraries(zelmo_sim PRIVATE Freetype::Freetype)
target_compile_definitions(zelmo_sim PRIVATE ZELMO_FONT_DIR="${ZELMO_FONT_DIR}")
add_dependencies(zelmo_sim zelmo_icons)

add_library(zelmo_core STATIC ${ZELMO_LOGIC_SOURCES})
target_include_directories(zelmo_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zelmo_core PUBLIC zelmo_sim)

# The fuzz build (preset fuzz, clang) builds only the fuzz targets and their tests.
option(ZELMO_FUZZ "Build the libFuzzer targets of the file readers (clang)" OFF)
enable_testing()
if(ZELMO_FUZZ)
    foreach(target zelmo_sim zelmo_core)
        target_compile_options(${target} PUBLIC -fsanitize=fuzzer-no-link,address,undefined
                               -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} PUBLIC -fsanitize=address,undefined)
    endforeach()
    add_subdirectory(fuzz)
    return()
endif()

add_subdirectory(tests)
# The benchmarks need Google Benchmark, so they are built (and the library looked for) only when
# asked: cmake --preset sim -DZELMO_BENCHMARKS=ON. The allocation counter beside them is always
# built: the allocation test uses it.
option(ZELMO_BENCHMARKS "Build the resident-cost benchmarks (needs Google Benchmark)" OFF)
add_subdirectory(benchmarks)
add_subdirectory(tools/simrunner)
