#!/usr/bin/env bash
# Builds and runs every test: the sim build (unit and scenario tests, asset checks) and the
# Windows build (ZelmoSound.exe, the program folder and its zip) with its end-to-end tests under
# Wine, the help page in headless Chromium and a second build of the release that must give the
# same bytes; then the sim's tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (the Wine and release tests, which look at the Windows build, only once), and each fuzz target
# for a few seconds over its seeds (scripts/fuzz.sh runs the long campaign). Sets up a fresh
# Debian machine first (scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
# Compiling goes through ccache, so that the release test's second build of ZelmoSound.exe (in
# build/win32-again) reuses the first one's work. CMake takes these when a build folder is new.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
    export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
fi

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$jobs"

# The benchmarks are built too (not run), so that they keep compiling.
cmake --preset sim -DZELMO_WIN32_BUILD_DIR="$PWD/build/win32" \
      -DZELMO_WIN64_BUILD_DIR="$PWD/build/win64" -DZELMO_BENCHMARKS=ON >/dev/null
cmake --build --preset sim -j"$jobs"
ctest --preset sim -j"$jobs"

cmake --preset sim-asan >/dev/null
cmake --build --preset sim-asan -j"$jobs"
ctest --preset sim-asan -j"$jobs"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
ctest --preset fuzz
