# The sim build: the simulated desktop, the program logic on top of it, and the tests.
set(ZELMO_SIM_SOURCES
    platform/sim/desktop.cpp
    platform/sim/windows.cpp
    platform/sim/messages.cpp
    platform/sim/files.cpp
    platform/sim/sound.cpp
    platform/sim/geometry.cpp
    platform/sim/paint.cpp
    platform/sim/mouse.cpp
    platform/sim/tooltips.cpp
    platform/sim/format.cpp
    platform/sim/resources.cpp
    platform/sim/modal.cpp
    platform/sim/shell.cpp
    platform/sim/dialogs.cpp
    platform/sim/controls.cpp
    platform/sim/com.cpp
    platform/sim/text.cpp
    platform/sim/gdi.cpp
    platform/sim/names.cpp
    platform/sim/folders.cpp
    platform/sim/listbox.cpp
    platform/sim/filedialog.cpp
    ${ZELMO_SIM_ICON_TABLE}
)

add_library(zelmo_sim STATIC ${ZELMO_SIM_SOURCES})
target_include_directories(zelmo_sim PUBLIC platform/sim resources)
target_compile_definitions(zelmo_sim PRIVATE
    ZELMO_RESOURCE_SCRIPT="${CMAKE_SOURCE_DIR}/resources/ZelmoSound.rc")
find_package(Threads REQUIRED)
target_link_libraries(zelmo_sim PUBLIC Threads::Threads zelmo_toolcommon)
add_dependencies(zelmo_sim zelmo_icons)

add_library(zelmo_core STATIC ${ZELMO_LOGIC_SOURCES})
target_include_directories(zelmo_core PUBLIC app resources)
target_link_libraries(zelmo_core PUBLIC zelmo_sim)

option(ZELMO_SANITIZE "Build the sim with address and undefined-behaviour sanitizers" OFF)
if(ZELMO_SANITIZE)
    foreach(target zelmo_sim zelmo_core)
        target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer)
        target_link_options(${target} PUBLIC -fsanitize=address,undefined)
    endforeach()
endif()

enable_testing()
add_subdirectory(tests)
# The benchmarks need Google Benchmark, so they are built (and the library looked for) only when
# asked: cmake --preset sim -DZELMO_BENCHMARKS=ON.
option(ZELMO_BENCHMARKS "Build the resident-cost benchmarks (needs Google Benchmark)" OFF)
if(ZELMO_BENCHMARKS)
    add_subdirectory(benchmarks)
endif()
add_subdirectory(tools/simrunner)
