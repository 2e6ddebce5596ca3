#!/usr/bin/env bash
# Builds ZelmoSound.exe and the release a second time, from the same sources in a folder of its
# own beside the Windows build given (WIN32_BUILD_DIR-again, at the same depth so that ccache's
# relative paths match and the compiler's work is reused), and requires the same bytes as the
# first build: ZelmoSound.exe, ZelmoSound.zip and SHA256SUMS, which must also hold for the files
# beside it. Prints the SHA-256 of the exe and the zip of both builds.
#
# Usage: rebuild_test.sh SOURCE_DIR WIN32_BUILD_DIR
# Exits 77 (the test is skipped) when the Windows build or its release is not there. The second
# build's folder is removed when the bytes are the same and kept to look at when they differ.
set -euo pipefail
source_dir=$1
first=${2:-}
first=${first%/}
cache=$first/CMakeCache.txt
skip() {
    echo "skipped: $1 (scripts/test.sh builds the Windows build and its release first)"
    exit 77
}
[ -f "$cache" ] || skip "no Windows build in '$first'"
cached() { sed -n "s/^$1:[A-Z]*=//p" "$cache"; }
dist=$(cached ZELMO_DIST_ROOT)
[ -n "$dist" ] || skip "the build in '$first' makes no release"
for file in "$first/ZelmoSound.exe" "$dist/ZelmoSound.zip" "$dist/SHA256SUMS"; do
    [ -f "$file" ] || skip "$file is missing"
done

(cd "$dist" && sha256sum --check --quiet SHA256SUMS) || {
    echo "FAIL: SHA256SUMS does not match the files beside it in $dist"
    exit 1
}

again=$first-again
rm -rf "$again"
mkdir -p "$again"
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$source_dir}
fi
log=$again/rebuild.log
if ! {
    cmake -S "$source_dir" -B "$again" -DZELMO_PLATFORM=win32 \
        -DCMAKE_TOOLCHAIN_FILE="$(cached CMAKE_TOOLCHAIN_FILE)" \
        -DCMAKE_BUILD_TYPE="$(cached CMAKE_BUILD_TYPE)" \
        -DZELMO_RELEASE_EPOCH="$(cached ZELMO_RELEASE_EPOCH)" -DZELMO_DIST_ROOT="$again/dist" &&
        cmake --build "$again" -j"$(nproc)" --target zelmo_dist
} >"$log" 2>&1; then
    echo "FAIL: the second build failed; the end of $log:"
    tail -n 30 "$log"
    exit 1
fi

status=0
for pair in "$first/ZelmoSound.exe:$again/ZelmoSound.exe" \
    "$dist/ZelmoSound.zip:$again/dist/ZelmoSound.zip" "$dist/SHA256SUMS:$again/dist/SHA256SUMS"; do
    one=${pair%%:*} two=${pair#*:}
    sha256sum "$one" "$two"
    if ! cmp "$one" "$two"; then
        echo "FAIL: $two differs from $one"
        status=1
    fi
done
if [ $status -eq 0 ]; then
    echo "the second build gave the same bytes"
    rm -rf "$again"
fi
exit $status
