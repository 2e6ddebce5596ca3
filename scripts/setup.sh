#!/usr/bin/env bash
# Installs what building and testing ZelmoSound needs on a Debian machine, once: the native
# compiler, CMake and GoogleTest, clang with its libFuzzer and sanitizer runtimes (the fuzz
# targets), the i686 mingw-w64 cross compiler, 32-bit Wine, a virtual X display, xdotool, a
# Japanese font and the resource lister. Skips packages already installed.
set -euo pipefail

# wine64 and the x86_64 cross compiler serve machines whose kernel cannot run 32-bit programs:
# there the Wine tests run an x86_64 build of the same sources (see e2e/WINE_NOTES.md).
packages=(cmake g++ make libgtest-dev libbenchmark-dev clang libclang-rt-dev
          g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xdotool x11-utils x11-apps imagemagick icoutils
          fonts-ipafont-gothic fonts-wine)

missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
fi
as_root apt-get update -qq
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    "${missing[@]}" >/dev/null
