#!/usr/bin/env bash
# Installs what building and testing ZelmoSound needs on a Debian machine, once: the packages of
# scripts/packages.sh that are missing (the native compiler, CMake and GoogleTest, clang with its
# libFuzzer and sanitizer runtimes, the mingw-w64 cross compilers, Wine, a virtual X display,
# xdotool, the fonts inside Wine, the resource lister). Runs apt-get itself as root, through sudo
# otherwise; says what to do when neither works. apt-get's own output is kept quiet unless it
# fails.
set -euo pipefail
# shellcheck source=packages.sh
. "$(dirname "$0")/packages.sh"

mapfile -t missing < <(zelmo_missing_packages)
[ ${#missing[@]} -eq 0 ] && exit 0

# True when a missing package is a 32-bit one and dpkg does not take i386 packages yet.
needs_i386() {
    printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386
}

cannot_install() {
    local steps="apt-get update && apt-get install ${missing[*]}"
    needs_i386 && steps="dpkg --add-architecture i386 && $steps"
    echo "setup: these packages are missing: ${missing[*]}" >&2
    echo "setup: installing them needs root. Run scripts/setup.sh as root (or as a user who may" >&2
    echo "setup: use sudo), or install them yourself as root:" >&2
    echo "    $steps" >&2
    exit 1
}

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || cannot_install
    # Without a terminal sudo cannot ask for a password: it must work without one.
    if [ -t 0 ]; then sudo -v || cannot_install; else sudo -n true 2>/dev/null || cannot_install; fi
    as_root=(sudo)
fi

# Runs a command with its output kept aside; shows the output when the command fails.
quietly() {
    local log code=0
    log=$(mktemp)
    "$@" >"$log" 2>&1 || code=$?
    if [ $code -ne 0 ]; then
        echo "setup: '$*' failed (exit code $code):" >&2
        cat "$log" >&2
    fi
    rm -f "$log"
    return $code
}

echo "setup: installing ${missing[*]}" >&2
if needs_i386; then quietly "${as_root[@]}" dpkg --add-architecture i386; fi
quietly "${as_root[@]}" apt-get update
quietly "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
