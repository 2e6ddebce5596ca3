# shellcheck shell=bash
# Source this file from an end-to-end harness:   . e2e/wine-env.sh
#
# The Wine route is chosen when this file is sourced (or taken from WINE_ENV_ROUTE if set):
#   win32  the i386 loader runs (`/usr/lib/wine/wine --version` exits 0): the i686 build in a
#          32-bit prefix, as on a user's machine;
#   win64  it does not (kernels with 32-bit emulation disabled, see e2e/WINE_NOTES.md): the
#          x86_64 build of the same sources under wine64 in a 64-bit prefix.
#
# Provides:
#   WINE_ENV_ROUTE                win32 or win64
#   wine_env_describe             prints the route as key=value lines (for the C++ harness)
#   wine_env_install              apt-get the packages (idempotent, quiet)
#   wine_env_prepare_prefix       create + configure $WINEPREFIX (fonts, X11 driver)
#   wine_env_start_xvfb [display] start Xvfb if $DISPLAY is not usable; sets WINE_ENV_XVFB_PID
#   wine_env_stop                 stop the wineserver of $WINEPREFIX and our Xvfb
#   WINE_RUN  (array)             command prefix:  "${WINE_RUN[@]}" prog.exe args...
#   WINE_ENV_CXX                  mingw compiler matching the route

WINE_ENV_LOADER32=/usr/lib/wine/wine
if [ -z "${WINE_ENV_ROUTE:-}" ]; then
    if "$WINE_ENV_LOADER32" --version >/dev/null 2>&1; then
        WINE_ENV_ROUTE=win32
    else
        WINE_ENV_ROUTE=win64
    fi
fi

if [ "$WINE_ENV_ROUTE" = win32 ]; then
    WINE_ENV_LOADER="$WINE_ENV_LOADER32"
    WINE_ENV_SERVER=/usr/lib/wine/wineserver
    WINE_ENV_CXX=i686-w64-mingw32-g++
    WINE_ENV_PACKAGES=(wine wine32:i386 g++-mingw-w64-i686 xvfb xdotool x11-utils fonts-ipafont-gothic fonts-wine)
    export WINEARCH=win32
else
    WINE_ENV_LOADER=/usr/lib/wine/wine64
    WINE_ENV_SERVER=/usr/lib/wine/wineserver64
    WINE_ENV_CXX=x86_64-w64-mingw32-g++
    WINE_ENV_PACKAGES=(wine wine64 g++-mingw-w64-x86-64 xvfb xdotool x11-utils fonts-ipafont-gothic fonts-wine)
    export WINEARCH=win64
fi
WINE_ENV_JP_FONT=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
WINE_RUN=("$WINE_ENV_LOADER")

export WINELOADER="$WINE_ENV_LOADER"
export WINESERVER="$WINE_ENV_SERVER"
export WINEDEBUG="${WINEDEBUG:--all}"
# No desktop menu entries, no Mono/Gecko install dialogs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d;mshtml=d}"

wine_env_describe() {
    printf 'route=%s\nloader=%s\nserver=%s\nwinearch=%s\nwinedlloverrides=%s\n' \
        "$WINE_ENV_ROUTE" "$WINE_ENV_LOADER" "$WINE_ENV_SERVER" "$WINEARCH" "$WINEDLLOVERRIDES"
}

wine_env_install() {
    local missing=() p
    for p in "${WINE_ENV_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Runs a registry import (.reg text on stdin) inside the prefix.
_wine_env_regedit() {
    local f
    f="$(mktemp --suffix=.reg)"
    # regedit wants UTF-16LE with BOM for non-ASCII content
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$f"
    "${WINE_RUN[@]}" regedit /S "$(winepath_w "$f")" >/dev/null 2>&1
    local rc=$?
    rm -f "$f"
    return $rc
}

winepath_w() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

wine_env_prepare_prefix() {
    : "${WINEPREFIX:?WINEPREFIX must be set}"
    : "${DISPLAY:?DISPLAY must be set (see wine_env_start_xvfb)}"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # In a 64-bit prefix 'failed to open syswow64\rundll32.exe' is expected (no 32-bit side).
        "${WINE_RUN[@]}" wineboot -i >/dev/null 2>&1 || return 1
    fi
    local font='Z:'"$(printf '%s' "$WINE_ENV_JP_FONT" | tr '/' '\\' | sed 's/\\/\\\\/g')"
    local link="ipag.ttf,IPAGothic"
    local n subst="" repl=""
    for n in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS PGothic' 'MS Gothic' 'MS UI Gothic' 'Meiryo' 'Meiryo UI' \
             'Yu Gothic UI' 'MS Sans Serif' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma' 'Segoe UI'; do
        subst+="\"$n\"=\"IPAGothic\""$'\n'
        repl+="\"$n\"=\"IPAGothic\""$'\n'
    done
    _wine_env_regedit <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
${subst}
[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
${repl}
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
"Tahoma"=hex(7):$(_wine_env_multisz "$link")
"MS Shell Dlg"=hex(7):$(_wine_env_multisz "$link")
"MS Shell Dlg 2"=hex(7):$(_wine_env_multisz "$link")
"MS Sans Serif"=hex(7):$(_wine_env_multisz "$link")
"Segoe UI"=hex(7):$(_wine_env_multisz "$link")

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]
"IPAGothic (TrueType)"="${font}"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]
"Debugger"=""
"Auto"="0"
EOF
    "$WINE_ENV_SERVER" -w
}

# REG_MULTI_SZ hex for a single string (UTF-16LE, double NUL terminated).
_wine_env_multisz() {
    printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ' ' |
        sed 's/^ //; s/ $//; s/ /,/g; s/$/,00,00,00,00/'
}

wine_env_start_xvfb() {
    local d="${1:-:99}"
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    Xvfb "$d" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    export DISPLAY="$d"
    local deadline=$((SECONDS + 15))
    until xdpyinfo >/dev/null 2>&1; do
        if [ $SECONDS -ge $deadline ] || ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then
            echo "wine-env: Xvfb on $d did not come up" >&2
            return 1
        fi
        sleep 0.1
    done
}

wine_env_stop() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        "$WINE_ENV_SERVER" -k >/dev/null 2>&1
        timeout 30 "$WINE_ENV_SERVER" -w >/dev/null 2>&1
    fi
    if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null
        unset WINE_ENV_XVFB_PID
    fi
}
