# The yardsticks of the resident cost under Wine (scripts/measure-resident.sh), built beside
# ZelmoSound.exe by the Windows builds and never put in the program folder: the minimal program
# of the same shape, and the tool that times a start until the tray icon shows.
set(ZELMO_MEASURE_DIR ${CMAKE_SOURCE_DIR}/benchmarks/wine)
add_executable(zelmo-minimal WIN32 ${ZELMO_MEASURE_DIR}/minimal.cpp)
target_link_options(zelmo-minimal PRIVATE -static -static-libgcc -static-libstdc++ -s)
target_link_libraries(zelmo-minimal PRIVATE shell32 gdi32 user32)
zelmo_delay_load(zelmo-minimal WINMM.dll PlaySoundA@12)
add_executable(zelmo-starttray ${ZELMO_MEASURE_DIR}/starttray.cpp)
target_link_options(zelmo-starttray PRIVATE -static -static-libgcc -static-libstdc++ -municode)
