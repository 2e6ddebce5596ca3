# The conformance probe's sources, shared by the sim build (tests/conformance/CMakeLists.txt) and
# the Windows builds (cmake/Win32.cmake): every .cpp file of probe/ (the framework and one file
# per scenario area), the program's own window placement, which it measures as it stands, and
# its resource script.
set(ZELMO_PROBE_DIR ${CMAKE_SOURCE_DIR}/tests/conformance/probe)
file(GLOB ZELMO_PROBE_SOURCES CONFIGURE_DEPENDS ${ZELMO_PROBE_DIR}/*.cpp)
list(APPEND ZELMO_PROBE_SOURCES ${CMAKE_SOURCE_DIR}/ground/placement.cpp)
set(ZELMO_PROBE_SCRIPT ${ZELMO_PROBE_DIR}/probe.rc)
