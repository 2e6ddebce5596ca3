#!/usr/bin/env bash
# Measures what the jellyfish cost under Wine: the real ZelmoSound.exe runs from a fresh program
# folder whose jelly file holds ten jellyfish (with the five hidden characters, fifteen living
# slots), first idle for SECONDS, then with the jellyfish running for SECONDS (started by the
# tray menu's command 206, posted to the main window as the menu does). For each it prints the
# program's CPU time (user and system, all its threads) and its wake-ups per second (the
# context switches of its threads: each time a thread goes to sleep or is put off the CPU), and
# the same for the prefix's wineserver, which carries the program's messages and timers.
#
# usage: scripts/measure-jelly.sh [SECONDS]      (default 60)
#
# Uses the Wine route of the end-to-end tests (e2e/wine-env.sh) and the Windows build of that
# route (built first when missing), a Wine prefix of its own (build/measure-prefix-ROUTE, kept),
# and a virtual display of its own when no usable one is set. A measurement, not a test: the
# figures depend on the machine and its load.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
seconds="${1:-60}"

# shellcheck source=../e2e/wine-env.sh
. e2e/wine-env.sh
build="$root/build/$WINE_ENV_ROUTE"
if [ ! -f "$build/ZelmoSound.exe" ] || [ ! -f "$build/zelmo-e2e-driver.exe" ]; then
    cmake --preset "$WINE_ENV_ROUTE" >/dev/null
    cmake --build --preset "$WINE_ENV_ROUTE" -j2 >/dev/null
fi

export WINEPREFIX="$root/build/measure-prefix-$WINE_ENV_ROUTE"
folder="$(mktemp -d /tmp/zelmo-measure-XXXXXX)"
program_pid=""
cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then kill "$program_pid"; fi
    wine_env_stop
    rm -rf "$folder"
}
trap cleanup EXIT

wine_env_start_xvfb
marker="$WINEPREFIX/.zelmo-prepared"
if [ ! -f "$marker" ] || [ "$(cat "$marker")" != "$(wine_env_stamp)" ]; then
    echo "measure-jelly: preparing the Wine prefix $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    wine_env_prepare_prefix
    wine_env_stamp >"$marker"
fi

# Ten adults of the eight kinds, spread over the screen, far from breeding ages and life spans.
cp "$build/ZelmoSound.exe" "$folder/"
cp "$build"/sounds/j*.wav "$folder/"
for n in 1 2 3 4 5 6 7 8 9 10; do
    printf 'JELLY%02d_EXIST=1\r\nJELLY%02d_TYPE_=%d\r\nJELLY%02d_DIRCT=%d\r\nJELLY%02d_AGE__=01000\r\n' \
        "$n" "$n" $((2 + n % 8)) "$n" $((n % 8)) "$n"
    printf 'JELLY%02d_XXXXX=%04d\r\nJELLY%02d_YYYYY=%04d\r\nJELLY%02d_CRICK=0000\r\n' \
        "$n" $((90 * n)) "$n" $((60 + 60 * n)) "$n"
done >"$folder/Jelly.INI"

driver() { "${WINE_RUN[@]}" "$build/zelmo-e2e-driver.exe" "$@"; }
field() { tr '\t' '\n' | sed -n "s/^$1=//p" | head -n 1; }

(cd "$folder" && exec "${WINE_RUN[@]}" "$folder/ZelmoSound.exe") >/dev/null 2>&1 &
program_pid=$!
main="$(driver wait ZelmoSound "Zelmo Sound version1.00" 30000 | field hwnd)"
[ -n "$main" ] || { echo "measure-jelly: the program did not start" >&2; exit 1; }

# The wineserver of this prefix (other prefixes may have their own).
server_pid=""
for pid in $(pgrep -f wineserver || true); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        server_pid=$pid
    fi
done

# CPU ticks (user + system) and context switches of every thread of a process.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches/ { total += $2 } END { print total + 0 }'
}
hz="$(getconf CLK_TCK)"

measure() {
    local label=$1 pid=$2 t0 s0 t1 s1
    t0=$(ticks "$pid")
    s0=$(switches "$pid")
    sleep "$seconds"
    t1=$(ticks "$pid")
    s1=$(switches "$pid")
    awk -v label="$label" -v t=$((t1 - t0)) -v s=$((s1 - s0)) -v hz="$hz" -v d="$seconds" \
        'BEGIN { printf "%-34s cpu %6.2f s over %d s = %5.2f %% of one core, %7.1f wake-ups/s\n",
                 label, t / hz, d, 100 * t / hz / d, s / d }'
}

measure_both() {
    local what=$1
    # The two processes one after the other would see different periods: sample them together.
    measure "$what: ZelmoSound.exe" "$program_pid" &
    local first=$!
    if [ -n "$server_pid" ]; then measure "$what: wineserver" "$server_pid"; fi
    wait "$first"
}

echo "route $WINE_ENV_ROUTE, $(nproc) cores, load $(cut -d ' ' -f 1-3 /proc/loadavg)"
sleep 5
measure_both "idle"
driver post "$main" 0x111 206 0 >/dev/null
jelly="$(driver wait ZelmoJelly - 15000 | field hwnd)"
driver visible "$jelly" 15000 >/dev/null || { echo "measure-jelly: no jellyfish" >&2; exit 1; }
sleep 5
measure_both "10 jellyfish and 5 hidden"
driver post "$main" 0x10 0 0 >/dev/null
wait "$program_pid" || true
program_pid=""
