# The Windows build: ZelmoSound.exe, a PE32 GUI program for i686 that imports only system DLLs
# (the C and C++ runtimes are linked in), with its resources and the UTF-8 manifest; then the
# program folder dist/ZelmoSound with every sound file and the help page, and its zip.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

add_executable(ZelmoSound WIN32 ${ZELMO_LOGIC_SOURCES} resources/ZelmoSound.rc)
target_include_directories(ZelmoSound PRIVATE platform/win32 app resources)
target_include_directories(ZelmoSound PRIVATE ${ZELMO_ICON_DIR})
add_dependencies(ZelmoSound zelmo_icons)
set_property(SOURCE resources/ZelmoSound.rc APPEND PROPERTY OBJECT_DEPENDS ${ZELMO_ICON_FILES})
set_property(SOURCE resources/ZelmoSound.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/ZelmoSound.manifest ${CMAKE_SOURCE_DIR}/resources/resource.h)
target_compile_definitions(ZelmoSound PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_options(ZelmoSound PRIVATE -static -static-libgcc -static-libstdc++ -s)
include(${CMAKE_SOURCE_DIR}/cmake/DelayLoad.cmake)
zelmo_delay_load(ZelmoSound WINMM.dll PlaySoundA@12)
zelmo_delay_load(ZelmoSound COMCTL32.dll InitCommonControls@0)
zelmo_delay_load(ZelmoSound COMDLG32.dll GetOpenFileNameA@4)
zelmo_delay_load(ZelmoSound ole32.dll CoInitialize@4 CoCreateInstance@20 CoTaskMemFree@4
                 CoUninitialize@0)
target_link_libraries(ZelmoSound PRIVATE shell32 uuid gdi32 user32)

# The program folder a user copies anywhere, and its zip: the release.
option(ZELMO_DIST "Assemble the program folder dist/ZelmoSound and its zip" ON)
if(ZELMO_DIST)
set(ZELMO_DIST_ROOT ${CMAKE_SOURCE_DIR}/dist)
set(ZELMO_DIST_DIR ${ZELMO_DIST_ROOT}/ZelmoSound)
set(ZELMO_HELP_PAGE ${CMAKE_SOURCE_DIR}/resources/help/Zelmo.html)
add_custom_target(zelmo_dist ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZELMO_DIST_DIR} ${ZELMO_DIST_ROOT}/ZelmoSound.zip
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZELMO_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:ZelmoSound> ${ZELMO_DIST_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${ZELMO_SOUND_DIR} ${ZELMO_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${ZELMO_HELP_PAGE} ${ZELMO_DIST_DIR}/
    COMMAND ${CMAKE_COMMAND} -E chdir ${ZELMO_DIST_ROOT}
            ${CMAKE_COMMAND} -E tar cf ZelmoSound.zip --format=zip ZelmoSound
    DEPENDS ZelmoSound zelmo_sounds ${ZELMO_HELP_PAGE}
    COMMENT "Assembling the program folder ${ZELMO_DIST_DIR} and ZelmoSound.zip"
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
target_include_directories(zelmo-probe PRIVATE platform/win32 ${ZELMO_PROBE_DIR} resources)
set_property(SOURCE ${ZELMO_PROBE_SCRIPT} APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/ZelmoSound.manifest ${ZELMO_PROBE_DIR}/probe_resource.h)
# The probe draws two of the program's generated icons.
if(DEFINED ZELMO_ICON_DIR)
    target_include_directories(zelmo-probe PRIVATE ${ZELMO_ICON_DIR})
    add_dependencies(zelmo-probe zelmo_icons)
    set_property(SOURCE ${ZELMO_PROBE_SCRIPT} APPEND PROPERTY OBJECT_DEPENDS ${ZELMO_ICON_FILES})
endif()
target_compile_definitions(zelmo-probe PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_options(zelmo-probe PRIVATE -static -static-libgcc -static-libstdc++ -mwindows)
target_link_libraries(zelmo-probe PRIVATE winmm comctl32 comdlg32 shell32 ole32 uuid gdi32 user32)

include(${CMAKE_SOURCE_DIR}/benchmarks/wine/Measure.cmake)
