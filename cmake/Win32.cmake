# The Windows build: ZelmoSound.exe, a PE32 GUI program for i686 that imports only system DLLs
# (the C and C++ runtimes are linked in), with its resources and the UTF-8 manifest; then the
# program folder dist/ZelmoSound with every sound file and the help page, and its zip.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

add_executable(ZelmoSound WIN32 ${ZELMO_LOGIC_SOURCES} resources/ZelmoSound.rc)
# "platform.h" is Windows' own headers; every other header is found by its path from the root
# (resources/ for the resource compiler's own includes).
target_include_directories(ZelmoSound PRIVATE platform/win32 ${CMAKE_SOURCE_DIR} resources)
target_include_directories(ZelmoSound PRIVATE ${ZELMO_ICON_DIR})
add_dependencies(ZelmoSound zelmo_icons)
set_property(SOURCE resources/ZelmoSound.rc APPEND PROPERTY OBJECT_DEPENDS ${ZELMO_ICON_FILES})
set_property(SOURCE resources/ZelmoSound.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/ZelmoSound.manifest ${CMAKE_SOURCE_DIR}/resources/resource.h)
target_compile_definitions(ZelmoSound PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601)
# No link time stamp in the program's header, so the same sources give the same bytes.
target_link_options(ZelmoSound PRIVATE -static -static-libgcc -static-libstdc++ -s
                    -Wl,--no-insert-timestamp)
include(${CMAKE_SOURCE_DIR}/cmake/DelayLoad.cmake)
zelmo_delay_load(ZelmoSound WINMM.dll PlaySoundA@12)
zelmo_delay_load(ZelmoSound COMCTL32.dll InitCommonControls@0)
zelmo_delay_load(ZelmoSound COMDLG32.dll GetOpenFileNameA@4)
zelmo_delay_load(ZelmoSound ole32.dll CoInitialize@4 CoCreateInstance@20 CoTaskMemFree@4
                 CoUninitialize@0)
target_link_libraries(ZelmoSound PRIVATE shell32 uuid gdi32 user32)

# The program folder a user copies anywhere, its zip (the release) and SHA256SUMS, laid out by
# cmake/Release.cmake so that two builds of the same sources give the same bytes.
option(ZELMO_DIST "Assemble the program folder dist/ZelmoSound and its zip" ON)
set(ZELMO_DIST_ROOT ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Folder of the program folder and its zip")
set(ZELMO_RELEASE_EPOCH 1767225600 CACHE STRING
    "Time of every file in the release, seconds since 1970 UTC (2026-01-01 00:00:00)")
if(ZELMO_DIST)
set(ZELMO_HELP_PAGE ${CMAKE_SOURCE_DIR}/resources/help/Zelmo.html)
add_custom_target(zelmo_dist ALL
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:ZelmoSound> -DSOUNDS=${ZELMO_SOUND_DIR}
            -DHELP=${ZELMO_HELP_PAGE} -DDIST_ROOT=${ZELMO_DIST_ROOT}
            -DEPOCH=${ZELMO_RELEASE_EPOCH} -P ${CMAKE_SOURCE_DIR}/cmake/Release.cmake
    DEPENDS ZelmoSound zelmo_sounds ${ZELMO_HELP_PAGE} ${CMAKE_SOURCE_DIR}/cmake/Release.cmake
    COMMENT "Assembling the program folder ${ZELMO_DIST_ROOT}/ZelmoSound, its zip and SHA256SUMS"
    VERBATIM)
endif()

# The end-to-end tests' helper: a console program run beside ZelmoSound.exe in the same Wine
# prefix to find, inspect and drive its windows (e2e/driver/driver.cpp).
add_executable(zelmo-e2e-driver e2e/driver/driver.cpp)
target_compile_definitions(zelmo-e2e-driver PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_options(zelmo-e2e-driver PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(zelmo-e2e-driver PRIVATE user32 gdi32 shell32)

# The conformance probe (tests/conformance): a small program of its own with the same manifest,
# which the conformance test runs under Wine and compares with its run on the simulated desktop.
# A GUI program like ZelmoSound.exe; its trace goes to a file beside it.
include(${CMAKE_SOURCE_DIR}/tests/conformance/Probe.cmake)
add_executable(zelmo-probe ${ZELMO_PROBE_SOURCES} ${ZELMO_PROBE_SCRIPT})
target_include_directories(zelmo-probe PRIVATE platform/win32 ${CMAKE_SOURCE_DIR} ${ZELMO_PROBE_DIR}
                                               resources)
set_property(SOURCE ${ZELMO_PROBE_SCRIPT} APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/ZelmoSound.manifest ${ZELMO_PROBE_DIR}/probe_resource.h
    ${CMAKE_SOURCE_DIR}/resources/resource.h)
# The probe draws three of the program's generated icons.
if(DEFINED ZELMO_ICON_DIR)
    target_include_directories(zelmo-probe PRIVATE ${ZELMO_ICON_DIR})
    add_dependencies(zelmo-probe zelmo_icons)
    set_property(SOURCE ${ZELMO_PROBE_SCRIPT} APPEND PROPERTY OBJECT_DEPENDS ${ZELMO_ICON_FILES})
endif()
target_compile_definitions(zelmo-probe PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_options(zelmo-probe PRIVATE -static -static-libgcc -static-libstdc++ -mwindows)
target_link_libraries(zelmo-probe PRIVATE winmm comctl32 comdlg32 shell32 ole32 uuid gdi32 user32)

include(${CMAKE_SOURCE_DIR}/benchmarks/wine/Measure.cmake)
