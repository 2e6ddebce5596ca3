# shellcheck shell=bash
# The Debian packages that building, testing and running ZelmoSound need: the one list that
# scripts/setup.sh installs from and e2e/wine-env.sh checks against. Source this file.
#
# Provides:
#   ZELMO_PACKAGES (array)   the packages, "name:arch" where the machine's own architecture is not
#                            meant
#   zelmo_missing_packages   prints the packages of the list that are not installed, one a line

ZELMO_PACKAGES=(
    # The sim build and its tests; Google Benchmark for the benchmarks (ZELMO_BENCHMARKS=ON);
    # ccache, which lets the release test's second build reuse the first one's compiling; FreeType,
    # with which the simulated desktop reads the Ume fonts (below) to measure text.
    cmake g++ make libgtest-dev libbenchmark-dev ccache libfreetype-dev
    # The fuzz targets of the file readers: clang with its libFuzzer and sanitizer runtimes.
    clang libclang-rt-dev
    # The Windows builds: ZelmoSound.exe for i686, and the x86_64 build of the same sources that
    # the Wine tests run where the kernel cannot run 32-bit programs (see e2e/WINE_NOTES.md).
    g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64
    # Wine: the 32-bit loader for the i686 program, wine64 for the x86_64 build.
    wine wine32:i386 wine64
    # A virtual X display, the mouse and keys, pictures of the screen, the resource lister.
    xvfb xdotool x11-utils x11-apps imagemagick icoutils
    # Fonts inside Wine: the Ume faces, mapped to the Japanese faces of the dialogs, menus and
    # captions (their metrics come close to Japanese Windows', so every label fits; the
    # simulated desktop measures text with the same files), and Wine's own fonts, whose Marlett
    # draws the caption buttons.
    fonts-horai-umefont fonts-wine
    # The release: zip writes ZelmoSound.zip; headless Chromium shows the help page to its test.
    zip chromium
)

zelmo_missing_packages() {
    local package
    for package in "${ZELMO_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            printf '%s\n' "$package"
    done
}
