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
#   WINE_ENV_ROUTE_REASON         why the route is win64 ("" on the win32 route, or when the
#                                 route was given): 32-bit Wine not installed, or a kernel that
#                                 cannot run 32-bit programs
#   wine_env_describe             prints the route as key=value lines (for the C++ harness)
#   wine_env_install              installs what is missing of the packages (scripts/packages.sh)
#   wine_env_prepare_prefix       create + configure $WINEPREFIX (fonts, X11 driver)
#   wine_env_stamp                prints what a prepared prefix depends on (route, Wine's version,
#                                 this file), to tell whether a kept prefix needs preparing again
#   wine_env_start_xvfb           start Xvfb on a free display if $DISPLAY is not usable; sets
#                                 DISPLAY and WINE_ENV_XVFB_PID
#   wine_env_stop                 stop the wineserver of $WINEPREFIX and our Xvfb
#   WINE_RUN  (array)             command prefix:  "${WINE_RUN[@]}" prog.exe args...
#   WINE_ENV_CXX                  mingw compiler matching the route

WINE_ENV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=../scripts/packages.sh
. "$WINE_ENV_ROOT/scripts/packages.sh"

WINE_ENV_LOADER32=/usr/lib/wine/wine
WINE_ENV_ROUTE_REASON=""
if [ -z "${WINE_ENV_ROUTE:-}" ]; then
    if _wine_env_out="$("$WINE_ENV_LOADER32" --version 2>&1)"; then
        WINE_ENV_ROUTE=win32
    else
        WINE_ENV_ROUTE=win64
        # The shell reports a program the kernel cannot run as "Exec format error" (126).
        if [ ! -e "$WINE_ENV_LOADER32" ]; then
            WINE_ENV_ROUTE_REASON="32-bit Wine is not installed (the package wine32:i386 is missing; scripts/setup.sh installs it)"
        elif printf '%s' "$_wine_env_out" | grep -q 'Exec format error'; then
            WINE_ENV_ROUTE_REASON="32-bit programs cannot run on this kernel (its 32-bit emulation is off)"
        else
            WINE_ENV_ROUTE_REASON="32-bit Wine does not start ($(printf '%s' "$_wine_env_out" | head -n 1))"
        fi
    fi
    unset _wine_env_out
fi

if [ "$WINE_ENV_ROUTE" = win32 ]; then
    WINE_ENV_LOADER="$WINE_ENV_LOADER32"
    WINE_ENV_SERVER=/usr/lib/wine/wineserver
    WINE_ENV_CXX=i686-w64-mingw32-g++
    export WINEARCH=win32
else
    WINE_ENV_LOADER=/usr/lib/wine/wine64
    WINE_ENV_SERVER=/usr/lib/wine/wineserver64
    WINE_ENV_CXX=x86_64-w64-mingw32-g++
    export WINEARCH=win64
fi
WINE_RUN=("$WINE_ENV_LOADER")

export WINELOADER="$WINE_ENV_LOADER"
export WINESERVER="$WINE_ENV_SERVER"
export WINEDEBUG="${WINEDEBUG:--all}"
# No desktop menu entries, no Mono/Gecko install dialogs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d;mshtml=d}"

wine_env_describe() {
    printf 'route=%s\nreason=%s\nloader=%s\nserver=%s\nwinearch=%s\nwinedlloverrides=%s\n' \
        "$WINE_ENV_ROUTE" "$WINE_ENV_ROUTE_REASON" "$WINE_ENV_LOADER" "$WINE_ENV_SERVER" "$WINEARCH" \
        "$WINEDLLOVERRIDES"
}

wine_env_install() {
    [ -z "$(zelmo_missing_packages)" ] || "$WINE_ENV_ROOT/scripts/setup.sh"
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

# The faces the program's dialogs, menus and captions ask for, with the faces Wine itself asks
# for in their place (Tahoma for captions, menus and message boxes, MS Shell Dlg for dialogs),
# each mapped to the Ume face of its kind (fonts-horai-umefont). Ume's metrics come close to
# Japanese Windows': 12 pixels high at 9 points, and dialog base units of 7 x 12 in a 9-point
# "ＭＳ Ｐゴシック" dialog, so that every label of the program's dialogs fits (e2e_test's
# LabelsFitInEveryDialog measures them). IPAGothic, whose Latin letters all have one width, gave
# base units of 6 x 13 and cut 52 of the 74 labels.
WINE_ENV_FACES=(
    'ＭＳ Ｐゴシック=Ume P Gothic'
    'MS PGothic=Ume P Gothic'
    'ＭＳ ゴシック=Ume Gothic'
    'MS Gothic=Ume Gothic'
    'MS UI Gothic=Ume UI Gothic'
    'Meiryo=Ume UI Gothic'
    'Meiryo UI=Ume UI Gothic'
    'Yu Gothic UI=Ume UI Gothic'
    'Segoe UI=Ume UI Gothic'
    'Tahoma=Ume UI Gothic'
    'MS Shell Dlg=Ume UI Gothic'
    'MS Shell Dlg 2=Ume UI Gothic'
    'MS Sans Serif=Ume UI Gothic'
)
# Wine draws the caption buttons, check marks and arrows with its symbol font Marlett. Debian's
# Wine 8.0 reads fonts from the prefix's windows\Fonts and from fontconfig, but not from its own
# font folder (/usr/share/wine/fonts, from fonts-wine), so without this the close box shows the
# letter "r". Marlett is registered by its full path; Wine's other fonts stay out, since a real
# Tahoma or MS Sans Serif would win over the mappings above.
WINE_ENV_MARLETT=/usr/share/wine/fonts/marlett.ttf

# Pages open in the browser, as on Windows: Wine's "htmlfile" starts winebrowser, which hands
# the page to the host's xdg-open. mshtml, which would tie ".html" to it, is disabled above (no
# Gecko to install), so the prefix ties it itself; the program's help page needs it.
wine_env_prepare_prefix() {
    : "${WINEPREFIX:?WINEPREFIX must be set}"
    : "${DISPLAY:?DISPLAY must be set (see wine_env_start_xvfb)}"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # In a 64-bit prefix 'failed to open syswow64\rundll32.exe' is expected (no 32-bit side).
        "${WINE_RUN[@]}" wineboot -i >/dev/null 2>&1 || return 1
    fi
    local entry faces="" marlett
    for entry in "${WINE_ENV_FACES[@]}"; do
        faces+="\"${entry%%=*}\"=\"${entry#*=}\""$'\n'
    done
    marlett="$(winepath_w "$WINE_ENV_MARLETT" | sed 's/\\/\\\\/g')"
    _wine_env_regedit <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
${faces}
[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
${faces}
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]
"Marlett (TrueType)"="${marlett}"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]
"Debugger"=""
"Auto"="0"

[HKEY_CLASSES_ROOT\\.html]
@="htmlfile"
EOF
    "$WINE_ENV_SERVER" -w
}

wine_env_stamp() {
    printf '%s\n%s\n%s\n' "$WINE_ENV_ROUTE" "$("$WINE_ENV_LOADER" --version 2>/dev/null)" \
        "$(sha256sum <"${BASH_SOURCE[0]}" | cut -d ' ' -f 1)"
}

wine_env_start_xvfb() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    # Xvfb picks a free display number itself and writes it once it is ready, so a display that
    # another server already holds is never taken for ours.
    local number
    number="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local deadline=$((SECONDS + 15))
    until grep -q '^[0-9][0-9]*$' "$number"; do
        if [ $SECONDS -ge $deadline ] || ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then
            echo "wine-env: Xvfb did not come up" >&2
            rm -f "$number"
            return 1
        fi
        sleep 0.1
    done
    export DISPLAY=":$(cat "$number")"
    rm -f "$number"
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
