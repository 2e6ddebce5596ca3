#!/usr/bin/env bash
# Builds ZelmoSound and its program folder, then starts it under Wine (on Linux). Without an X
# display (DISPLAY unset or unusable) it starts a virtual one with Xvfb first, and says so.
# The program runs until you choose "終了(&X)" in its tray menu (or press Ctrl-C here).
# Sets up a fresh Debian machine first (scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh
jobs=$(nproc)

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"

# shellcheck source=../e2e/wine-env.sh
. e2e/wine-env.sh
folder="$root/dist/ZelmoSound"
if [ "$WINE_ENV_ROUTE" = win64 ]; then
    # This kernel cannot run 32-bit programs: run the x86_64 build of the same sources from a
    # copy of the program folder.
    echo "run: 32-bit programs cannot run on this kernel; starting the x86_64 build under wine64" >&2
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 -j"$jobs"
    folder="$root/build/run-win64/ZelmoSound"
    rm -rf "$folder"
    mkdir -p "$folder"
    cp -a "$root"/dist/ZelmoSound/. "$folder"/
    cp "$root/build/win64/ZelmoSound.exe" "$folder/ZelmoSound.exe"
fi

export WINEPREFIX="${WINEPREFIX:-$root/build/run-prefix-$WINE_ENV_ROUTE}"
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    echo "run: no X display; starting a virtual one (Xvfb) at :77" >&2
    wine_env_start_xvfb :77
    trap 'wine_env_stop' EXIT
fi
if [ ! -f "$WINEPREFIX/.zelmo-prepared" ]; then
    echo "run: preparing the Wine prefix $WINEPREFIX (once)" >&2
    wine_env_prepare_prefix
    touch "$WINEPREFIX/.zelmo-prepared"
fi

echo "run: starting $folder/ZelmoSound.exe (display $DISPLAY)" >&2
cd "$folder"
set +e
"${WINE_RUN[@]}" ./ZelmoSound.exe
code=$?
echo "run: ZelmoSound ended with exit code $code" >&2
exit $code
