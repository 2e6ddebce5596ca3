#!/usr/bin/env bash
# Builds ZelmoSound and its program folder, then starts it under Wine (on Linux). Without an X
# display (DISPLAY unset or unusable) it starts a virtual one with Xvfb first, and says so.
# The program runs until you choose "終了(&X)" in its tray menu (or press Ctrl-C here).
# Sets up a fresh Debian machine first (scripts/setup.sh).
#
# The program runs from its own folder, run/ZelmoSound/, and writes its settings file
# (ZelmoSound.INI) and jelly file (Jelly.INI) there. The first run lays the folder out from the
# built program folder dist/ZelmoSound/, which every build makes afresh; later runs replace only
# the program and its help page, so the files the program writes, and the sound files added or
# deleted through its dialogs, are kept. Delete run/ZelmoSound/ to start from a fresh folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh
jobs=$(nproc)

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"

# shellcheck source=../e2e/wine-env.sh
. e2e/wine-env.sh
exe="$root/build/win32/ZelmoSound.exe"
if [ "$WINE_ENV_ROUTE" = win64 ]; then
    echo "run: ${WINE_ENV_ROUTE_REASON:-the x86_64 route was asked for}; starting the x86_64" \
        "build of the same sources under wine64" >&2
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 -j"$jobs"
    exe="$root/build/win64/ZelmoSound.exe"
fi

folder="$root/run/ZelmoSound"
if [ ! -d "$folder" ]; then
    mkdir -p "$folder"
    cp -a "$root"/dist/ZelmoSound/. "$folder"/
    echo "run: laid out the program folder $folder" >&2
fi
cp "$exe" "$folder/ZelmoSound.exe"
cp "$root/dist/ZelmoSound/Zelmo.html" "$folder/Zelmo.html"

# Wine plays sound through a PulseAudio server (PipeWire serves the same socket) or straight to
# an ALSA sound card. With neither, its audio drivers only print their failed attempts to open a
# device, so they are left out and one line says so instead.
sound_device() {
    [ -n "${PULSE_SERVER:-}" ] ||
        [ -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/pulse/native" ] ||
        [ -S /run/pulse/native ] ||
        compgen -G '/dev/snd/pcmC*D*p' >/dev/null
}
if ! sound_device; then
    echo "run: no sound device found (no sound card, no PulseAudio or PipeWire server), so" \
        "ZelmoSound runs silent; for sound, start it where a PulseAudio or PipeWire server runs" >&2
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv=d"
fi

export WINEPREFIX="${WINEPREFIX:-$root/build/run-prefix-$WINE_ENV_ROUTE}"
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    wine_env_start_xvfb
    trap 'wine_env_stop' EXIT
    echo "run: no X display; started a virtual one (Xvfb) at $DISPLAY" >&2
fi
# The prefix is prepared again whenever the preparation changes (a newer wine-env.sh or Wine).
marker="$WINEPREFIX/.zelmo-prepared"
if [ ! -f "$marker" ] || [ "$(cat "$marker")" != "$(wine_env_stamp)" ]; then
    echo "run: preparing the Wine prefix $WINEPREFIX" >&2
    wine_env_prepare_prefix
    wine_env_stamp >"$marker"
fi

echo "run: starting $folder/ZelmoSound.exe (display $DISPLAY)" >&2
cd "$folder"
set +e
"${WINE_RUN[@]}" ./ZelmoSound.exe
code=$?
echo "run: ZelmoSound ended with exit code $code" >&2
exit $code
